'use strict';
// The learning platform's SCORM API, as the page finds and uses it.
const LearningPlatform = (() => {
  // In a learning-platform package the page looks for the platform's SCORM
  // API the standard way: in its own window and those above it, then in the
  // window that opened it and those above that, a bounded number of levels.
  // A platform may make its API only when its own page is ready, after this
  // script ran: the page looks again when it has loaded and when the student
  // presses Start. Found, the platform keeps the attempt and takes each
  // answer, the score and the status; not found by Start, the student is
  // told once that the result must be saved as a file (the page opened on
  // its own is the web quiz). Every value written keeps to its version's
  // formats.
  function connect(quiz, N) {
    const settings = quiz.platform;
    if (!settings) return null;
    const v2004 = settings.version === '2004';
    const apiName = v2004 ? 'API_1484_11' : 'API';
    const LEVELS = 10;
    function apiAbove(start) {
      let win = start;
      for (let level = 0; win && level <= LEVELS; ++level) {
        try {
          if (win[apiName]) return win[apiName];
          if (!win.parent || win.parent === win) return null;
          win = win.parent;
        } catch (e) { return null; }   // a window of another site
      }
      return null;
    }
    let api = apiAbove(window);
    if (!api) { try { api = window.opener ? apiAbove(window.opener) : null; } catch (e) { api = null; } }
    if (!api) return null;
    const fn = v2004
      ? { init: 'Initialize', get: 'GetValue', set: 'SetValue', commit: 'Commit', finish: 'Terminate' }
      : { init: 'LMSInitialize', get: 'LMSGetValue', set: 'LMSSetValue', commit: 'LMSCommit', finish: 'LMSFinish' };
    // A platform may answer null or nothing for an unset value: that is "".
    function call(name, ...args) {
      try {
        const result = api[fn[name]](...args);
        return result === null || result === undefined ? '' : String(result);
      } catch (e) { return 'false'; }
    }
    if (call('init', '') !== 'true') return null;
    let open = true;
    const sessionStart = Date.now();
    const cmi = v2004
      ? { name: 'cmi.learner_name', entry: 'cmi.entry', location: 'cmi.location', exit: 'cmi.exit', time: 'cmi.session_time', score: 'cmi.score.', response: 'learner_response' }
      : { name: 'cmi.core.student_name', entry: 'cmi.core.entry', location: 'cmi.core.lesson_location', exit: 'cmi.core.exit', time: 'cmi.core.session_time', score: 'cmi.core.score.', response: 'student_response' };
    const get = (element) => (open ? call('get', element) : '');
    const set = (element, value) => (open ? call('set', element, String(value)) === 'true' : false);
    const commit = () => (open ? call('commit', '') === 'true' : false);
    function finish() { if (open) { call('finish', ''); open = false; } }
    // A platform that keeps no count (an empty _count) leaves the numbering
    // to the attempt: new interactions go after the answers it holds.
    const count = get('cmi.interactions._count');
    const countKnown = /^\d+$/.test(count);
    let interactions = countKnown ? Number(count) : 0;

    // 1.2: "HHHH:MM:SS.SS"; 2004: an ISO 8601 duration ("PT1H2M3.04S").
    function timespan(ms) {
      const cs = Math.max(0, Math.round(ms / 10));
      const h = Math.floor(cs / 360000), m = Math.floor(cs / 6000) % 60, s = Math.floor(cs / 100) % 60, f = cs % 100;
      if (v2004) return 'PT' + h + 'H' + m + 'M' + s + '.' + two(f) + 'S';
      if (h > 9999) return '9999:59:59.99';
      return String(h).padStart(4, '0') + ':' + two(m) + ':' + two(s) + '.' + two(f);
    }
    const { two } = ScoreLog;
    function clock(d) { return two(d.getHours()) + ':' + two(d.getMinutes()) + ':' + two(d.getSeconds()); }
    function stamp(d) { return d.getFullYear() + '-' + two(d.getMonth() + 1) + '-' + two(d.getDate()) + 'T' + clock(d); }
    // An option as each version writes a response: choice "a".."d" (1.2)
    // or "A".."D" (2004), true-false "t"/"f" (1.2) or "true"/"false" (2004).
    function response(frame, index) {
      if (frame === 't') return v2004 ? (index === 0 ? 'true' : 'false') : (index === 0 ? 't' : 'f');
      return (v2004 ? 'ABCD' : 'abcd')[index];
    }

    return {
      available: true,
      // "Last, First", as platforms keep names, shown as "First Last".
      learnerName() {
        const name = get(cmi.name).trim();
        if (name === 'null' || name === 'undefined') return '';
        const parts = name.split(',');
        return parts.length === 2 && parts[0].trim() && parts[1].trim() ? parts[1].trim() + ' ' + parts[0].trim() : name;
      },
      // The attempt of an earlier visit: on "resume", and also where a
      // platform never says so (an empty entry, or "ab-initio" always) but
      // hands back an attempt of this very test.
      load() {
        const entry = get(cmi.entry);
        let kept = null;
        try { kept = Attempt.unpack(get('cmi.suspend_data'), N); } catch (e) { kept = null; }
        if (!kept) return null;
        if (entry === 'resume') return kept;
        return (entry === '' || entry === 'ab-initio') && kept.id === quiz.id ? kept : null;
      },
      // commitNow: once per answer (and at the start); the final commit is
      // the report's.
      save(kept, commitNow = true) {
        set('cmi.suspend_data', Attempt.pack(kept, N, quiz.id));
        set(cmi.location, String(Math.min(kept.current, N)));
        set(cmi.exit, 'suspend');
        if (commitNow) commit();
      },
      resumedWith(answered) { if (!countKnown) interactions = Math.max(interactions, answered); },
      forget() {},
      started() {
        if (v2004) set('cmi.completion_status', 'incomplete');
        else set('cmi.core.lesson_status', 'incomplete');
      },
      record(number, frame, given, right, validRight, latencyMs) {
        const p = 'cmi.interactions.' + interactions++ + '.';
        set(p + 'id', 'Q' + number);
        set(p + 'type', frame === 't' ? 'true-false' : 'choice');
        set(p + (v2004 ? 'timestamp' : 'time'), v2004 ? stamp(new Date()) : clock(new Date()));
        set(p + 'weighting', '1');
        if (validRight) set(p + 'correct_responses.0.pattern', response(frame, right));
        set(p + cmi.response, response(frame, given));
        set(p + 'result', given === right ? 'correct' : v2004 ? 'incorrect' : 'wrong');
        set(p + 'latency', timespan(latencyMs));
      },
      // The result: true when the platform took it.
      report(percentRight) {
        if (!open) return false;
        set(cmi.score + 'min', '0');
        set(cmi.score + 'max', '100');
        set(cmi.score + 'raw', String(percentRight));
        // Without a pass mark the score alone goes: completed, success
        // unknown, so every gradebook shows the percent.
        const mark = settings.passPercent;
        const judged = typeof mark === 'number';
        const passed = judged && percentRight >= mark;
        if (v2004) {
          set('cmi.score.scaled', String(percentRight / 100));
          set('cmi.completion_status', 'completed');
          set('cmi.success_status', !judged ? 'unknown' : passed ? 'passed' : 'failed');
        } else {
          set('cmi.core.lesson_status', !judged ? 'completed' : passed ? 'passed' : 'failed');
        }
        set(cmi.exit, v2004 ? 'normal' : '');
        set(cmi.time, timespan(Date.now() - sessionStart));
        const taken = commit();
        finish();
        return taken;
      },
      // Leaving before the end: the time of this visit, and the attempt
      // left to resume (cmi.exit is "suspend" since the first answer).
      leave() {
        if (!open) return;
        set(cmi.time, timespan(Date.now() - sessionStart));
        commit();
        finish();
      },
    };
  }
  return { connect };
})();
