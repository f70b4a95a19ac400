'use strict';
// The web quiz: runs a test the way the editor's preview does (one question
// at a time, the same feedback, score line and report), then lets the student
// save the result as a score log the log viewer reads. Every text from the
// test is put into the page as text (textContent), never as markup.
(() => {
  const $ = (id) => document.getElementById(id);
  const { base64Bytes, mediaUrl, playToEnd, playAsync } = QuizMedia;

  // ---- the test, decoded -------------------------------------------------
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

  // ---- each student's own order ------------------------------------------
  // With quiz.shuffle the questions, and the answers of each multiple-choice
  // question, come in an order of the student's own, drawn from a seed made
  // once per attempt and kept with it: a reload or a resume shows the same
  // order. Only the screen is shuffled: answers are kept, sent and saved in
  // the test's order and letters, so logs and figures stay the test's.
  const order = Order.arrange(quiz.shuffle ? Order.newSeed() : 0, questions);

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

  const connectPlatform = () => LearningPlatform.connect(quiz, N);
  let platform = connectPlatform();

  // ---- the live class ------------------------------------------------------
  // Served by the teacher's computer in class: the student joins by name,
  // each answer goes to the computer, whose reply holds the feedback (the
  // page holds no right answer), and the finished attempt goes there too.
  const live = quiz.live ? LiveConnection.connect({
    async post(what, body) {
      const response = await fetch(what, {
        method: 'POST', cache: 'no-store', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body),
      });
      let reply = {};
      try { reply = await response.json(); } catch (e) { reply = {}; }
      return { status: response.status, body: reply };
    },
    sleep: (ms) => new Promise((resolve) => window.setTimeout(resolve, ms)),
    onWaiting: (waiting) => { $('live-note').hidden = !waiting; },
    now: () => performance.now(),
  }) : null;
  let student = null;   // the token the teacher's computer gave this page
  // What a result this page saves is named by: in a live class the page
  // holds only the class's id, and the computer gives the test's own with
  // the last answer's feedback, once every answer is known.
  let resultId = quiz.id;

  // ---- the attempt kept ----------------------------------------------------
  // After every answer the attempt is kept: by the learning platform when
  // there is one, else in the browser's storage for this test (its
  // identity, as every page from files shares one storage), so a reload, a
  // closed tab or a discarded one loses nothing.
  const STORE_KEY = 'ardeno-quiz:' + quiz.id + (live ? ':' + location.pathname : '');
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
    if (order.seed) kept.order = order.seed;
    if (student) kept.student = student;
    if (resultId !== quiz.id) kept.test = resultId;
    if (state.reported) {
      kept.report = { score: report.score, percent: report.percent, time: report.time, date: report.date.getTime(),
        seconds: report.seconds };
    }
    keeper.save(kept, commitNow);
  }
  function keptAttempt() {
    try {
      const a = keeper.load();
      return Attempt.usable(a, N) && (!live || typeof a.student === 'string') ? a : null;
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
  // The score line is a live region: set only when it changes, so it is
  // announced once per change, not with every question.
  function showScore() {
    const line = scoreLine();
    if ($('score').textContent !== line) $('score').textContent = line;
  }

  // ---- the message box ---------------------------------------------------
  let messageDone = null;
  function showMessage(text) {
    const before = document.activeElement;
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
        // The focus goes back where it was, or to the question: never to
        // the page's body.
        if (before && before !== document.body && before.isConnected && !before.closest('[hidden]')) before.focus();
        else if (!$('run').hidden) $(state.frame === 'm' ? 'm-question' : 't-question').focus({ preventScroll: true });
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
    $('transcript').hidden = true;
    $('transcript').textContent = '';
    $('replay').hidden = true;
    $('stop-media').hidden = true;
  }
  // A tune or a video that plays on its own can be stopped: the Stop button,
  // or Escape.
  function stopMedia() {
    if (mediaElement && mediaElement.pause && mediaElement.tagName !== 'IMG') mediaElement.pause();
  }
  $('stop-media').addEventListener('click', stopMedia);
  // What ShowMedia does for each kind; resolves when the question may be
  // answered (after a wave sound has played to its end).
  async function showMedia(m) {
    if (!m) return;
    if (m.error) { await showMessage('Error loading media file!'); return; }
    const box = $('media');
    const url = mediaUrl('media-' + m.index);
    if (m.kind === 'picture') {
      const img = document.createElement('img');
      // The teacher's description, else at least what the picture is.
      img.alt = m.description || 'Picture for question ' + state.current;
      if (m.description && quiz.language) img.lang = quiz.language;
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
    // A sound or a video is written out beside it for those who cannot hear it.
    if (m.description) {
      $('transcript').textContent = m.description;
      $('transcript').hidden = false;
    }
    if (m.kind === 'video') {
      const video = document.createElement('video');
      video.id = 'question-video';
      video.playsInline = true;
      video.setAttribute('aria-label', 'Video for question ' + state.current);
      if (m.description) video.setAttribute('aria-describedby', 'transcript');
      video.controls = true;   // its own pause, volume and full screen
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
      button.textContent = m.kind === 'sound' ? 'Play Sound' : 'Play Music';
    }
    button.hidden = false;
    const el = mediaElement;
    replay = m.replay ? () => playAsync(el) : () => {};
    if (m.kind === 'sound') {
      setWaiting(true);
      await playToEnd(el);
      setWaiting(false);
    } else {
      $('stop-media').hidden = false;
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
    const at = order.question(state.current);   // the test's question shown here
    const q = questions[at];
    $('count').textContent = 'Question #' + signed(state.current);
    showScore();
    closeMedia();
    let media = null;
    if (q.kind === 'm' || q.kind === 't') {
      setFrame(q.kind);
      if (q.tooFew) {
        await showMessage('An error has occured.  Unable to process question ' + q.field0);
      } else {
        if (q.kind === 'm') { labels.m.question = q.question; labels.m.answers = order.shown(at, q.answers.slice(0, 4)); }
        else labels.t.question = q.question;
        state.correct = order.toShown(at, q.correct);
        media = q.media;
      }
    }
    fillLabels();
    // Each question starts at the top of the page (a phone keeps the last
    // one's scroll position otherwise).
    window.scrollTo(0, 0);
    announce('Question #' + signed(state.current));
    // The focus is on the question while its sound plays too: the option
    // answered last may be hidden with its frame, which would leave the
    // focus on the page's body.
    if ($('message').hidden) $(state.frame === 'm' ? 'm-question' : 't-question').focus({ preventScroll: true });
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
  function optionIndex(frame, name) {
    return frame === 'm' ? 'ABCD'.indexOf(name) : ['True', 'False'].indexOf(name);
  }
  // What the teacher's computer said instead of feedback: the page stops
  // there, with the reason.
  async function liveRefused(reply) {
    // A page the computer no longer knows (the teacher took the student
    // out): a reload offers the join again, not this attempt.
    if (reply.status === 403) { state.underWay = false; forgetAttempt(); }
    await showMessage(reply.status === 410
      ? 'Your teacher has ended the class: your answers so far have reached your teacher.'
      : 'Your teacher\'s computer did not take this answer: ' + (reply.body.error || 'it refused it.'));
  }
  async function answer(index) {
    if (state.busy) return;
    setBusy(true);
    const frame = state.frame;
    // `index` and `right` as the student sees them; `question` the test's.
    const question = order.question(state.current);
    let right = state.correct;
    if (live) {
      // The computer's record stands: a resend after a lost reply, or after
      // a reload, gets the feedback of the answer given first.
      const reply = await live.answer(student, question + 1, optionName(frame, order.toTest(question, index)),
        Date.now() - state.shownMs);
      if (reply.status !== 200) { await liveRefused(reply); return; }
      if (typeof reply.body.test === 'string') resultId = reply.body.test;
      index = order.toShown(question, optionIndex(frame, reply.body.given));
      right = reply.body.right === '?' ? -1 : order.toShown(question, optionIndex(frame, reply.body.right));
    }
    if (mediaElement && mediaElement.tagName === 'IMG') closeMedia();
    $('media').hidden = true;
    $('replay').hidden = true;
    const validRight = right >= 0 && right < (frame === 'm' ? 4 : 2);
    const given = order.toTest(question, index);
    const testRight = validRight ? order.toTest(question, right) : right;
    state.answers[question] = { given: optionName(frame, given), right: validRight ? optionName(frame, testRight) : '?' };
    if (platform) platform.record(question + 1, frame, given, testRight, validRight, Date.now() - state.shownMs);
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
      // The message box is an alert dialog: it speaks the text itself.
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
    showScore();
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
    if (!messageDone && event.key === 'Escape' && !$('stop-media').hidden) { stopMedia(); return; }
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
  const { percent, timeText } = ScoreLog;

  function showReport(kept) {
    const end = new Date(Date.now());
    report.score = kept ? kept.score : state.score;
    report.percent = kept ? kept.percent : percent(state.score, N);
    report.time = kept ? kept.time : timeText(Math.floor(spentMs() / 1000));
    report.date = kept ? new Date(kept.date) : end;
    report.seconds = kept && kept.seconds !== undefined ? kept.seconds : Math.floor(spentMs() / 1000);
    state.reported = true;
    keepAttempt(state.current, state.score, false);
    if (platform) {
      const taken = platform.report(report.percent);
      $('platform-note').textContent = taken
        ? 'Your result has gone to your learning platform.'
        : 'Your learning platform did not take your result: save it and hand the file to your teacher.';
      $('platform-note').hidden = false;
    }
    if (live) sendResult();
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

  // The finished attempt to the teacher's computer. The sentence that it
  // arrived comes only once the computer has written the result; a computer
  // that does not answer for half a minute leaves the file to save, and is
  // still tried meanwhile.
  async function sendResult() {
    const note = $('platform-note');
    const reached = () => { note.textContent = 'Your result has reached your teacher.'; note.hidden = false; };
    let reply = await live.finish(student, report.seconds, 30000);
    if (reply && reply.status === 200) { reached(); return; }
    note.textContent = reply
      ? 'Your teacher\'s computer did not take your result: save it and hand the file to your teacher.'
      : 'Your result has not reached your teacher yet: save it and hand the file to your teacher.';
    note.hidden = false;
    if (reply && reply.status === 403) forgetAttempt();
    if (reply) return;
    reply = await live.finish(student, report.seconds);
    if (reply && reply.status === 200) reached();
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
  function logBytes(name) {
    return ScoreLog.bytes({ title: quiz.title, id: resultId, teacher: quiz.teacher, name, date: report.date,
      score: report.score, percent: report.percent, time: report.time, answers: state.answers }, N);
  }
  const fileName = (name) => ScoreLog.fileName(quiz.title, name);

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
  // The test's own texts are in its language; the page's own stay English.
  if (quiz.language) {
    for (const id of ['title', 'teacher', 'm-question', 't-question', 'm-answer-0', 'm-answer-1', 'm-answer-2',
      'm-answer-3', 'transcript']) $(id).lang = quiz.language;
  }
  document.title = quiz.title;
  showScore();
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
  // The live class's join: the name first, as the teacher's computer files
  // the result under it.
  async function joinClass() {
    const name = $('join-name').value.replace(/\s+/g, ' ').trim();
    if (!name) {
      await showMessage('Please type your name first.');
      $('join-name').focus();
      return false;
    }
    $('start-button').disabled = true;
    const reply = await live.join(name);
    $('start-button').disabled = false;
    if (reply.status !== 200 && reply.status !== 201) {
      await showMessage(reply.status === 410 ? 'Your teacher has ended the class.'
        : reply.body.error || 'Your teacher\'s computer did not take your name.');
      $('join-name').focus();
      return false;
    }
    student = reply.body.student;
    $('student').value = name;
    return true;
  }
  async function startFresh() {
    if (live && !(await joinClass())) return;
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
    if (quiz.shuffle && Number.isInteger(kept.order)) order.rearrange(kept.order);
    if (live) {
      student = kept.student;
      if (typeof kept.test === 'string') resultId = kept.test;
    }
    $('student').value = kept.name || $('student').value;
    if (platform) platform.resumedWith(kept.answers.filter(Boolean).length);
    begin();
    showScore();
    if (kept.report || kept.current > N) showReport(kept.report);
    else showQuestion();
  });
  $('restart-button').addEventListener('click', async () => {
    // In a live class the computer decides: a second attempt under a name
    // joins only when the teacher allowed a retake; until then the attempt
    // kept stays as it was.
    if (live) {
      if (!$('join-name').value) $('join-name').value = kept.name || '';
      if (!(await joinClass())) return;
      forgetAttempt();
      $('resume').hidden = true;
      $('start-button').hidden = false;
      begin();
      showQuestion();
      return;
    }
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
    // (In a live class the teacher's computer has every answer: nothing either.)
    if (!state.underWay || platform || live) return;
    event.preventDefault();
    event.returnValue = '';
  });
  const keepTime = () => { if (state.underWay && !state.reported) keepAttempt(); };
  window.addEventListener('pagehide', () => {
    keepTime();
    if (platform) platform.leave();
  });
  document.addEventListener('visibilitychange', () => { if (document.visibilityState === 'hidden') keepTime(); });
  if (live) {
    $('join').hidden = false;
    // A class list: its names offered as the student types.
    fetch('names', { cache: 'no-store' }).then((r) => (r.ok ? r.json() : { names: [] })).then((body) => {
      if (!Array.isArray(body.names) || !body.names.length) return;
      const list = document.createElement('datalist');
      list.id = 'class-names';
      for (const name of body.names) { const o = document.createElement('option'); o.value = String(name); list.appendChild(o); }
      document.body.appendChild(list);
      $('join-name').setAttribute('list', 'class-names');
    }).catch(() => { /* no list: any name is typed */ });
    $('join-name').addEventListener('keydown', (event) => {
      if (event.key === 'Enter') { event.preventDefault(); $('start-button').click(); }
    });
  }
  (kept ? $('continue-button') : live ? $('join-name') : $('start-button')).focus();
})();
