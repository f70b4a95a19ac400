'use strict';
// The web quiz: runs a test the way the editor's preview does (one question
// at a time, the same feedback, score line and report), then lets the student
// save the result as a score log the log viewer reads. Every text from the
// test is put into the page as text (textContent), never as markup.
(() => {
  const $ = (id) => document.getElementById(id);
  const RIGHT_DEFAULT_MS = 1000;   // when a sound cannot tell its length
  const SOUND_SLACK_MS = 2000;     // a sound that never ends is waited for this much beyond its length
  const LOG_KEY = 0xB6;            // the score-log key of the quiz player's logs

  // ---- the test, decoded -------------------------------------------------
  function base64Bytes(text) {
    const raw = atob(text.trim());
    const bytes = new Uint8Array(raw.length);
    for (let i = 0; i < raw.length; ++i) bytes[i] = raw.charCodeAt(i);
    return bytes;
  }
  function decodeQuiz() {
    const el = $('quiz-data');
    const key = base64Bytes(el.dataset.key);
    const bytes = base64Bytes(el.textContent);
    for (let i = 0; i < bytes.length; ++i)
      bytes[i] ^= key[i % key.length] ^ ((i * 131 + 7) & 0xFF);
    return JSON.parse(new TextDecoder('utf-8').decode(bytes));
  }
  const quiz = decodeQuiz();
  const questions = quiz.questions;
  const N = questions.length;

  // Media travel as data: URIs, which play better from a blob: URL; in a
  // package they are files beside the page, named by the block.
  const blobUrls = new Map();
  function mediaUrl(id) {
    if (!blobUrls.has(id)) {
      const uri = $(id).textContent.trim();
      if (!uri.startsWith('data:')) return uri;
      const comma = uri.indexOf(',');
      const mime = uri.slice(5, uri.indexOf(';'));
      blobUrls.set(id, URL.createObjectURL(new Blob([base64Bytes(uri.slice(comma + 1))], { type: mime })));
    }
    return blobUrls.get(id);
  }

  // ---- the state the preview's runner keeps ------------------------------
  const state = {
    current: 1,          // CurrentQuestion
    correct: 1,          // CorrectAnswer
    score: 0,
    startMs: 0,
    busy: true,          // feedback or a sound on show: answers wait
    frame: 'm',          // the frame on screen: "m" or "t"
    answers: [],         // per question: {given, right, frame}
    spentBeforeMs: 0,    // time spent in earlier visits of the page
    underWay: false,     // started, and the result not saved yet
    reported: false,
  };
  // The page says what it waits for (data-ready on <main>), so that a
  // helper reading aloud, or a test, can tell.
  function setBusy(busy) {
    state.busy = busy;
    $('quiz').dataset.ready = busy ? 'no' : 'yes';
  }
  const labels = { m: { question: '', answers: ['', '', '', ''] }, t: { question: '' } };

  const soundRight = new Audio();
  const soundWrong = new Audio();
  soundRight.id = 'audio-right';
  soundWrong.id = 'audio-wrong';
  for (const a of [soundRight, soundWrong]) { a.preload = 'auto'; a.hidden = true; document.body.appendChild(a); }
  soundRight.src = mediaUrl('sound-right');
  soundWrong.src = mediaUrl('sound-wrong');

  // ---- the learning platform -----------------------------------------------
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
  function connectPlatform() {
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
    function clock(d) { return two(d.getHours()) + ':' + two(d.getMinutes()) + ':' + two(d.getSeconds()); }
    function stamp(d) { return d.getFullYear() + '-' + two(d.getMonth() + 1) + '-' + two(d.getDate()) + 'T' + clock(d); }
    // An option as each version writes a response: choice "a".."d" (1.2)
    // or "A".."D" (2004), true-false "t"/"f" (1.2) or "true"/"false" (2004).
    function response(frame, index) {
      if (frame === 't') return v2004 ? (index === 0 ? 'true' : 'false') : (index === 0 ? 't' : 'f');
      return (v2004 ? 'ABCD' : 'abcd')[index];
    }

    // The attempt in cmi.suspend_data, which holds 4,096 characters in 1.2:
    // one letter per question for the answer given and the right one, so a
    // test of 100 questions takes about 250.
    const CODE = { A: 'A', B: 'B', C: 'C', D: 'D', True: 'T', False: 'F', '?': '?' };
    const NAME = { A: 'A', B: 'B', C: 'C', D: 'D', T: 'True', F: 'False', '?': '?' };
    function pack(kept) {
      let g = '', r = '';
      for (let i = 0; i < N; ++i) {
        const a = kept.answers[i];
        g += a ? CODE[a.given] || '-' : '-';
        r += a ? CODE[a.right] || '?' : '-';
      }
      const o = { v: 1, i: quiz.id, c: kept.current, s: kept.score, t: Math.round(kept.spentMs), g, r };
      if (kept.report) o.p = kept.report;
      return JSON.stringify(o);
    }
    function unpack(text) {
      const o = JSON.parse(text);
      if (!o || o.v !== 1 || typeof o.g !== 'string' || typeof o.r !== 'string') return null;
      const answers = [];
      for (let i = 0; i < N; ++i) {
        if (o.g[i] && o.g[i] !== '-') answers[i] = { given: NAME[o.g[i]] || '?', right: NAME[o.r[i]] || '?' };
      }
      return { v: 1, id: o.i, current: o.c, score: o.s, spentMs: o.t, answers, report: o.p };
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
        try { kept = unpack(get('cmi.suspend_data')); } catch (e) { kept = null; }
        if (!kept) return null;
        if (entry === 'resume') return kept;
        return (entry === '' || entry === 'ab-initio') && kept.id === quiz.id ? kept : null;
      },
      // commitNow: once per answer (and at the start); the final commit is
      // the report's.
      save(kept, commitNow = true) {
        set('cmi.suspend_data', pack(kept));
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
  let platform = connectPlatform();

  // ---- the attempt kept ----------------------------------------------------
  // After every answer the attempt is kept: by the learning platform when
  // there is one, else in the browser's storage for this test (its
  // identity, as every page from files shares one storage), so a reload, a
  // closed tab or a discarded one loses nothing.
  const STORE_KEY = 'ardeno-quiz:' + quiz.id;
  const browserKeeper = (() => {
    let s = null;
    try {
      s = window.localStorage;
      s.setItem(STORE_KEY + ':probe', '1');
      s.removeItem(STORE_KEY + ':probe');
    } catch (e) { s = null; }
    return {
      available: !!s,
      load() { return s ? JSON.parse(s.getItem(STORE_KEY)) : null; },
      save(kept) { if (s) try { s.setItem(STORE_KEY, JSON.stringify(kept)); } catch (e) { /* full: the page goes on */ } },
      forget() { if (s) try { s.removeItem(STORE_KEY); } catch (e) { /* nothing kept */ } },
    };
  })();
  let keeper = platform || browserKeeper;
  function spentMs() { return state.spentBeforeMs + (state.startMs ? Date.now() - state.startMs : 0); }
  function keepAttempt(current = state.current, score = state.score, commitNow = true) {
    if (!state.startMs) return;
    const kept = { v: 1, current, score, answers: state.answers, spentMs: spentMs(), name: $('student').value };
    if (state.reported) kept.report = { score: report.score, percent: report.percent, time: report.time, date: report.date.getTime() };
    keeper.save(kept, commitNow);
  }
  function keptAttempt() {
    try {
      const a = keeper.load();
      return a && a.v === 1 && a.current >= 1 && a.current <= N + 1 && Array.isArray(a.answers) ? a : null;
    } catch (e) { return null; }
  }
  function forgetAttempt() { keeper.forget(); }

  // ---- small helpers -----------------------------------------------------
  function announce(text) {
    const live = $('live');
    live.textContent = '';
    // A new node, so that a repeated text is announced again.
    window.setTimeout(() => { live.textContent = text; }, 50);
  }
  function plain(n) { return String(n); }
  function signed(n) { return n < 0 ? String(n) : ' ' + n; }
  function scoreLine() { return 'Score: ' + plain(state.score) + ' correct of ' + plain(N) + ' total.'; }

  // Plays to the end (or until its length plus some slack has passed, or at
  // once when it cannot play), like the preview's sounds played with waiting.
  function playToEnd(audio) {
    return new Promise((resolve) => {
      let done = false;
      const finish = () => { if (!done) { done = true; resolve(); } };
      audio.addEventListener('ended', finish, { once: true });
      audio.addEventListener('error', finish, { once: true });
      const guard = () => {
        const len = isFinite(audio.duration) && audio.duration > 0 ? audio.duration * 1000 : RIGHT_DEFAULT_MS;
        window.setTimeout(finish, Math.min(len, 600000) + SOUND_SLACK_MS);
      };
      if (audio.readyState >= 1) guard(); else audio.addEventListener('loadedmetadata', guard, { once: true });
      window.setTimeout(finish, 600000 + SOUND_SLACK_MS);
      audio.currentTime = 0;
      const p = audio.play();
      if (p && p.catch) {
        p.catch(() => {
          // No sound allowed or possible: wait the sound's own length, as
          // the preview does without a sound card.
          const len = isFinite(audio.duration) && audio.duration > 0 ? audio.duration * 1000 : RIGHT_DEFAULT_MS;
          window.setTimeout(finish, len);
        });
      }
    });
  }
  function playAsync(audio) {
    audio.currentTime = 0;
    const p = audio.play();
    if (p && p.catch) p.catch(() => {});
  }

  // ---- the message box ---------------------------------------------------
  let messageDone = null;
  function showMessage(text) {
    return new Promise((resolve) => {
      const box = $('message');
      $('message-text').textContent = text;
      box.hidden = false;
      // A modal box: nothing behind it takes the focus or a click.
      for (const id of ['run', 'report', 'start']) $(id).inert = true;
      messageDone = () => {
        box.hidden = true;
        for (const id of ['run', 'report', 'start']) $(id).inert = false;
        messageDone = null;
        resolve();
      };
      $('message-ok').focus();
    });
  }
  $('message-ok').addEventListener('click', () => { if (messageDone) messageDone(); });

  // ---- media ---------------------------------------------------------------
  let mediaElement = null;
  let replay = null;
  function closeMedia() {
    if (mediaElement && mediaElement.pause) mediaElement.pause();
    if (mediaElement) mediaElement.remove();
    mediaElement = null;
    replay = null;
    $('media').hidden = true;
    $('media').textContent = '';
    $('media').classList.remove('picture');
    $('replay').hidden = true;
  }
  // What ShowMedia does for each kind; resolves when the question may be
  // answered (after a wave sound has played to its end).
  async function showMedia(m) {
    if (!m) return;
    if (m.error) { await showMessage('Error loading media file!'); return; }
    const box = $('media');
    const url = mediaUrl('media-' + m.index);
    if (m.kind === 'picture') {
      const img = document.createElement('img');
      img.alt = 'Picture for question ' + state.current;
      img.src = url;
      const area = quiz.pictureArea;
      // The place the preview gives the picture in its square box, scaled
      // with the box when a narrow screen makes it smaller.
      img.style.left = (m.fit[0] / area * 100) + '%';
      img.style.top = (m.fit[1] / area * 100) + '%';
      img.style.width = (m.fit[2] / area * 100) + '%';
      img.style.height = (m.fit[3] / area * 100) + '%';
      box.style.setProperty('--picture-ratio', m.fit[2] + ' / ' + m.fit[3]);
      box.classList.add('picture');
      box.appendChild(img);
      box.hidden = false;
      mediaElement = img;
      return;
    }
    const button = $('replay');
    if (m.kind === 'video') {
      const video = document.createElement('video');
      video.id = 'question-video';
      video.playsInline = true;
      video.setAttribute('aria-label', 'Video for question ' + state.current);
      video.src = url;
      box.appendChild(video);
      box.hidden = false;
      mediaElement = video;
      button.textContent = 'Play Movie';
    } else {
      const audio = document.createElement('audio');
      audio.id = 'question-sound';
      audio.src = url;
      document.body.appendChild(audio);
      mediaElement = audio;
      button.textContent = m.kind === 'sound' ? 'Play Wav' : 'Play Music';
    }
    button.hidden = false;
    const el = mediaElement;
    replay = m.replay ? () => playAsync(el) : () => {};
    if (m.kind === 'sound') {
      setWaiting(true);
      await playToEnd(el);
      setWaiting(false);
    } else {
      playAsync(el);
    }
  }
  $('replay').addEventListener('click', () => { if (replay) replay(); });

  function setWaiting(waiting) {
    for (const options of document.querySelectorAll('.options')) {
      options.classList.toggle('waiting', waiting);
      for (const b of options.querySelectorAll('.option')) b.setAttribute('aria-disabled', waiting ? 'true' : 'false');
    }
  }

  // ---- showing a question --------------------------------------------------
  function setFrame(kind) {
    state.frame = kind;
    $('multiple').hidden = kind !== 'm';
    $('truefalse').hidden = kind !== 't';
  }
  function fillLabels() {
    $('m-question').textContent = labels.m.question;
    for (let i = 0; i < 4; ++i) $('m-answer-' + i).textContent = labels.m.answers[i];
    $('t-question').textContent = labels.t.question;
  }
  async function showQuestion() {
    setBusy(true);
    const q = questions[state.current - 1];
    $('count').textContent = 'Question #' + signed(state.current);
    $('score').textContent = scoreLine();
    closeMedia();
    let media = null;
    if (q.kind === 'm' || q.kind === 't') {
      setFrame(q.kind);
      if (q.tooFew) {
        await showMessage('An error has occured.  Unable to process question ' + q.field0);
      } else {
        if (q.kind === 'm') { labels.m.question = q.question; labels.m.answers = q.answers.slice(0, 4); }
        else labels.t.question = q.question;
        state.correct = q.correct;
        media = q.media;
      }
    }
    fillLabels();
    // Each question starts at the top of the page (a phone keeps the last
    // one's scroll position otherwise).
    window.scrollTo(0, 0);
    announce('Question #' + signed(state.current));
    await showMedia(media);
    setBusy(false);
    // The question takes the focus, not an option: Enter then answers
    // nothing until the student chooses (Tab, a click, a key).
    heldKeys.clear();
    for (const key of downKeys) heldKeys.add(key);
    if ($('message').hidden) $(state.frame === 'm' ? 'm-question' : 't-question').focus({ preventScroll: true });
    state.shownMs = Date.now();
  }

  // ---- answering -------------------------------------------------------------
  function optionName(frame, index) {
    if (frame === 'm') return 'ABCD'[index];
    return ['True', 'False'][index];
  }
  async function answer(index) {
    if (state.busy) return;
    setBusy(true);
    const frame = state.frame;
    const right = state.correct;
    if (mediaElement && mediaElement.tagName === 'IMG') closeMedia();
    $('media').hidden = true;
    $('replay').hidden = true;
    const validRight = right >= 0 && right < (frame === 'm' ? 4 : 2);
    state.answers[state.current - 1] = { given: optionName(frame, index), right: validRight ? optionName(frame, right) : '?' };
    if (platform) platform.record(state.current, frame, index, right, validRight, Date.now() - state.shownMs);
    // Kept as it will stand once the feedback is over.
    if (index === right) keepAttempt(state.current + 1, state.score + 1);
    else keepAttempt(validRight ? state.current + 1 : state.current);
    if (index !== right) {
      playAsync(soundWrong);
      if (!validRight) {
        // The right answer names no option: the question cannot be passed.
        await showMessage('There has been an error in this question.');
        setBusy(false);
        return;
      }
      const text = frame === 'm'
        ? 'The correct answer was ' + optionName(frame, right) + '. ' + labels.m.answers[right]
        : 'The correct answer was ' + optionName(frame, right) + '.';
      announce(text);
      await showMessage(text);
    } else {
      document.body.classList.add('flash');
      announce('Right answer.');
      await playToEnd(soundRight);
      state.score += 1;
      document.body.classList.remove('flash');
    }
    nextQuestion();
  }
  function nextQuestion() {
    state.current += 1;
    // The platform took the attempt as it now stands with the answer.
    if (!platform) keepAttempt();
    if (state.current <= N) { showQuestion(); return; }
    $('score').textContent = scoreLine();
    closeMedia();
    showReport();
  }
  for (const button of document.querySelectorAll('.option')) {
    button.addEventListener('click', () => answer(Number(button.dataset.index)));
  }
  // One press, one answer: a key counts only when it went down after the
  // question was shown, so neither the key that closed the last message nor
  // its repeats answer the next question.
  const downKeys = new Set();
  const heldKeys = new Set();
  document.addEventListener('keyup', (event) => { downKeys.delete(event.key); heldKeys.delete(event.key); }, true);
  window.addEventListener('blur', () => { downKeys.clear(); heldKeys.clear(); });
  document.addEventListener('keydown', (event) => {
    const stale = event.repeat || heldKeys.has(event.key);
    downKeys.add(event.key);
    if (stale && event.target.classList && event.target.classList.contains('option')) {
      event.preventDefault();   // no click from a held Enter or Space
      return;
    }
    if (event.ctrlKey || event.altKey || event.metaKey) return;
    if (messageDone) {
      if (event.key === 'Escape') { event.preventDefault(); messageDone(); }
      // Tab stays in the box: its one button keeps the focus.
      if (event.key === 'Tab') { event.preventDefault(); $('message-ok').focus(); }
      return;
    }
    if ($('run').hidden || state.busy || stale || event.target.tagName === 'INPUT') return;
    // The answer keys act only while the focus is in the question: a
    // stray letter typed elsewhere (by speech input on "Play Music") answers
    // nothing.
    if (!$(state.frame === 'm' ? 'multiple' : 'truefalse').contains(event.target)) return;
    const key = event.key.toLowerCase();
    let index = -1;
    if (state.frame === 'm') index = '1234'.indexOf(key) >= 0 ? '1234'.indexOf(key) : 'abcd'.indexOf(key);
    else index = key === 't' ? 0 : key === 'f' ? 1 : -1;
    if (key.length === 1 && index >= 0) { event.preventDefault(); answer(index); }
  });

  // ---- the report --------------------------------------------------------------
  const report = {};
  function percent(score, total) { return Math.floor(score / total * 100); }
  function timeText(s) { return s <= 60 ? s + ' seconds' : Math.floor(s / 60) + ' minutes and ' + (s % 60) + ' seconds'; }
  function two(n) { return String(n).padStart(2, '0'); }

  function showReport(kept) {
    const end = new Date(Date.now());
    report.score = kept ? kept.score : state.score;
    report.percent = kept ? kept.percent : percent(state.score, N);
    report.time = kept ? kept.time : timeText(Math.floor(spentMs() / 1000));
    report.date = kept ? new Date(kept.date) : end;
    state.reported = true;
    keepAttempt(state.current, state.score, false);
    if (platform) {
      const taken = platform.report(report.percent);
      $('platform-note').textContent = taken
        ? 'Your result has gone to your learning platform.'
        : 'Your learning platform did not take your result: save it and hand the file to your teacher.';
      $('platform-note').hidden = false;
    }
    $('run').hidden = true;
    const lines = [
      'You got ' + state.score + ' correct out of ' + N + ' total questions.',
      'You scored ' + report.percent + ' percent.',
      'You spent ' + report.time + ' on this quiz.',
    ];
    const box = $('report-lines');
    for (const line of lines) { const p = document.createElement('p'); p.textContent = line; box.appendChild(p); }
    $('report').hidden = false;
    $('student').focus();
  }

  function sheetLines(name) {
    const date = report.date.toLocaleDateString(undefined, { dateStyle: 'short' });
    return [
      name,
      quiz.title + '.....' + quiz.teacher,
      'Score ' + report.score + ' of ' + N + '.  ' + report.percent + '%   Time spent ' + report.time
        + '.  Test date:  ' + date,
    ];
  }
  function studentName() { return $('student').value.replace(/[\r\n]+/g, ' ').trim(); }
  async function needName() {
    if (studentName()) return false;
    await showMessage('Please type your name first.');
    $('student').focus();
    return true;
  }

  // ---- the score log -----------------------------------------------------------
  // Windows-1252 for the characters outside Latin-1; the five codes it leaves
  // undefined travel as the control characters of the same number.
  const CP1252 = {
    0x20AC: 0x80, 0x201A: 0x82, 0x0192: 0x83, 0x201E: 0x84, 0x2026: 0x85, 0x2020: 0x86, 0x2021: 0x87,
    0x02C6: 0x88, 0x2030: 0x89, 0x0160: 0x8A, 0x2039: 0x8B, 0x0152: 0x8C, 0x017D: 0x8E, 0x2018: 0x91,
    0x2019: 0x92, 0x201C: 0x93, 0x201D: 0x94, 0x2022: 0x95, 0x2013: 0x96, 0x2014: 0x97, 0x02DC: 0x98,
    0x2122: 0x99, 0x0161: 0x9A, 0x203A: 0x9B, 0x0153: 0x9C, 0x017E: 0x9E, 0x0178: 0x9F,
    0x81: 0x81, 0x8D: 0x8D, 0x8F: 0x8F, 0x90: 0x90, 0x9D: 0x9D,
  };
  // One line of the log, scrambled. Characters Windows-1252 cannot hold
  // become "?", and so do the two whose scrambled byte would be a CR or LF
  // ("»" and "¼"), which would break the line in two.
  function logLine(text) {
    const out = [];
    for (const ch of text) {
      const c = ch.codePointAt(0);
      let b;
      if (c === 13 || c === 10) b = 0x20;
      else if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) b = c;
      else b = CP1252[c] !== undefined ? CP1252[c] : 0x3F;
      if ((b ^ LOG_KEY) === 13 || (b ^ LOG_KEY) === 10) b = 0x3F;
      out.push(b ^ LOG_KEY);
    }
    return out;
  }
  // A name in a readable Latin form for the log, which holds Windows-1252
  // only: Cyrillic and Greek letters are transliterated ("Дмитрий" gives
  // "Dmitrij"), Latin letters with other marks lose the marks; letters the
  // log can hold stay, and other scripts become "?" when written.
  const LATIN = {
    а: 'a', б: 'b', в: 'v', г: 'g', д: 'd', е: 'e', ё: 'e', ж: 'zh', з: 'z', и: 'i', й: 'j', к: 'k', л: 'l',
    м: 'm', н: 'n', о: 'o', п: 'p', р: 'r', с: 's', т: 't', у: 'u', ф: 'f', х: 'kh', ц: 'ts', ч: 'ch',
    ш: 'sh', щ: 'shch', ъ: '', ы: 'y', ь: '', э: 'e', ю: 'yu', я: 'ya', є: 'ye', і: 'i', ї: 'yi', ґ: 'g',
    ў: 'u', ђ: 'dj', ј: 'j', љ: 'lj', њ: 'nj', ћ: 'c', џ: 'dz', ѓ: 'gj', ќ: 'kj', ѕ: 'dz',
    α: 'a', β: 'v', γ: 'g', δ: 'd', ε: 'e', ζ: 'z', η: 'i', θ: 'th', ι: 'i', κ: 'k', λ: 'l', μ: 'm',
    ν: 'n', ξ: 'x', ο: 'o', π: 'p', ρ: 'r', σ: 's', ς: 's', τ: 't', υ: 'y', φ: 'f', χ: 'ch', ψ: 'ps',
    ω: 'o', ł: 'l', đ: 'd', ħ: 'h', ı: 'i', ŋ: 'ng', ə: 'e', ĸ: 'k', ŀ: 'l',
  };
  function inLog(c) { return c < 0x80 || (c >= 0xA0 && c <= 0xFF) || CP1252[c] !== undefined; }
  function latinName(name) {
    let out = '';
    for (const ch of name) {
      if (inLog(ch.codePointAt(0))) { out += ch; continue; }
      // The letter itself first ("й" is "j", not "i" with a mark).
      const bare = LATIN[ch.toLowerCase()] !== undefined ? ch : ch.normalize('NFD').replace(/[\u0300-\u036f]/g, '');
      const lower = bare.toLowerCase();
      const mapped = LATIN[lower];
      if (mapped !== undefined) out += bare === lower ? mapped : mapped.charAt(0).toUpperCase() + mapped.slice(1);
      else if (bare && [...bare].every((c) => inLog(c.codePointAt(0)))) out += bare;
      else out += ch;
    }
    return out;
  }
  function logText(name) {
    const d = report.date;
    const lines = [
      'Ardeno web quiz result',
      'Test: ' + quiz.title,
      'Test id: ' + quiz.id,
      'Class/Teacher: ' + quiz.teacher,
      'Student: ' + latinName(name),
      'Date: ' + d.getFullYear() + '-' + two(d.getMonth() + 1) + '-' + two(d.getDate()) + ' '
        + two(d.getHours()) + ':' + two(d.getMinutes()) + ':' + two(d.getSeconds()),
      'Score: ' + report.score + ' correct of ' + N + ' total questions.',
      'Percent: ' + report.percent,
      'Time spent: ' + report.time,
    ];
    for (let i = 0; i < N; ++i) {
      const a = state.answers[i] || { given: '-', right: '-' };
      lines.push('Question ' + (i + 1) + ': answered ' + a.given + ', right answer ' + a.right);
    }
    return lines;
  }
  function logBytes(name) {
    const bytes = [];
    for (const line of logText(name)) { bytes.push(...logLine(line), 13, 10); }
    return new Uint8Array(bytes);
  }
  // The name proposed for the result: no character a file system refuses,
  // and no full stop, as the program reads a file's kind after the first
  // one ("Anna B." and "J. R. Smith" become "Anna B" and "J R Smith"); the
  // log itself keeps the name as typed.
  function fileName(name) {
    const base = (quiz.title + ' - ' + name).replace(/[\\/:*?"<>|\x00-\x1F]/g, '_').replace(/\./g, ' ')
      .replace(/ {2,}/g, ' ').trim();
    return base.slice(0, 200).trim() + '.log';
  }

  $('save').addEventListener('click', async () => {
    if (await needName()) return;
    const name = studentName();
    const url = URL.createObjectURL(new Blob([logBytes(name)], { type: 'application/octet-stream' }));
    const a = document.createElement('a');
    a.href = url;
    a.download = fileName(name);
    document.body.appendChild(a);
    a.click();
    a.remove();
    window.setTimeout(() => URL.revokeObjectURL(url), 60000);
    // The page cannot see the download finish: it says what the browser was
    // asked to save, and under which name.
    $('saved').textContent = 'Your browser is saving your result as "' + a.download
      + '" (look in your downloads). Hand this file to your teacher.';
    state.underWay = false;
  });
  $('student').addEventListener('input', () => keepAttempt());
  $('print').addEventListener('click', async () => {
    if (await needName()) return;
    const lines = sheetLines(studentName());
    for (let i = 0; i < 3; ++i) $('sheet-' + (i + 1)).textContent = lines[i];
    window.print();
  });

  // ---- start ---------------------------------------------------------------------
  $('title').textContent = quiz.title;
  $('teacher').textContent = quiz.teacher;
  document.title = quiz.title;
  $('score').textContent = scoreLine();
  $('start-count').textContent = N + (N === 1 ? ' question.' : ' questions.');
  setFrame('m');
  function begin() {
    // The press lets the page play sounds; the clock starts here.
    $('start').hidden = true;
    $('run').hidden = false;
    state.startMs = Date.now();
    state.underWay = true;
    if (platform) {
      platform.started();
      keepAttempt();
    }
  }
  // The attempt of an earlier visit, kept by the platform or the browser.
  let kept = null;
  function offerResume() {
    kept = keptAttempt();
    if (!kept) return false;
    const at = kept.report || kept.current > N ? 'the report' : 'question ' + kept.current;
    $('resume-text').textContent = 'You have already begun this quiz: you are at ' + at + ', with '
      + kept.score + ' correct so far.';
    $('resume').hidden = false;
    $('start-button').hidden = true;
    return true;
  }
  // A platform that made its API after the script ran: taken now, its
  // attempt offered, the name it knows filled in.
  function lookForPlatformAgain() {
    if (platform || !quiz.platform || state.startMs) return false;
    platform = connectPlatform();
    if (!platform) return false;
    keeper = platform;
    if (!$('student').value) $('student').value = platform.learnerName();
    return offerResume();
  }
  window.addEventListener('load', () => { if (lookForPlatformAgain()) $('continue-button').focus(); });
  // The button says the page is loading until the script has read the test.
  $('start-button').textContent = 'Start the quiz';
  $('start-button').disabled = false;
  async function startFresh() {
    begin();
    if (quiz.platform && !platform) {
      // Inside a package, but no platform answered: said once, before the
      // first question, never a silent fall-back.
      setBusy(true);
      await showMessage('Your result cannot reach your learning platform: this page did not find it. '
        + 'Take the quiz; at the end, save your result as a file and hand it to your teacher.');
    }
    showQuestion();
  }
  $('start-button').addEventListener('click', () => {
    if (lookForPlatformAgain()) $('continue-button').focus();
    else startFresh();
  });
  // The attempt of an earlier visit: continued exactly where it stood, the
  // clock going on from the time already spent.
  $('continue-button').addEventListener('click', () => {
    Object.assign(state, { current: kept.current, score: kept.score, answers: kept.answers, spentBeforeMs: kept.spentMs });
    $('student').value = kept.name || $('student').value;
    if (platform) platform.resumedWith(kept.answers.filter(Boolean).length);
    begin();
    $('score').textContent = scoreLine();
    if (kept.report || kept.current > N) showReport(kept.report);
    else showQuestion();
  });
  $('restart-button').addEventListener('click', () => {
    forgetAttempt();
    $('resume').hidden = true;
    $('start-button').hidden = false;
    startFresh();
  });
  offerResume();
  if (!keeper.available) $('storage-note').hidden = false;
  if (platform) $('student').value = platform.learnerName();
  // While an attempt is under way, leaving asks the browser's own question;
  // the time spent so far is kept whenever the page goes out of sight.
  // (Inside a learning platform the platform keeps the attempt: nothing to ask.)
  window.addEventListener('beforeunload', (event) => {
    if (!state.underWay || platform) return;
    event.preventDefault();
    event.returnValue = '';
  });
  const keepTime = () => { if (state.underWay && !state.reported) keepAttempt(); };
  window.addEventListener('pagehide', () => {
    keepTime();
    if (platform) platform.leave();
  });
  document.addEventListener('visibilitychange', () => { if (document.visibilityState === 'hidden') keepTime(); });
  (kept ? $('continue-button') : $('start-button')).focus();
})();
