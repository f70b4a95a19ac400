'use strict';
// The live class: the page served by the teacher's computer joins, sends
// each answer as it is given and gets the feedback back (the right answers
// are not in the page), and sends the finished attempt. A request that does
// not get through is sent again, waiting a little longer each time; the
// computer counts a resent answer once. The page says nothing about the
// network while it works: `onWaiting(true)` only once a request has waited
// some seconds, `onWaiting(false)` when it got through.
const LiveConnection = (() => {
  const NOTICE_AFTER_MS = 3000;
  // post(url, body) resolves to { status, body } or rejects when the
  // network fails; sleep(ms) resolves after ms.
  function connect({ post, sleep, onWaiting = () => {}, now = () => Date.now() }) {
    // Resolves with the reply; 4xx replies are final (the computer refused),
    // anything else is tried again until `giveUpMs` (forever by default).
    async function send(what, body, giveUpMs = Infinity) {
      const start = now();
      let delay = 500;
      let waiting = false;
      for (;;) {
        let reply = null;
        try { reply = await post(what, body); } catch (e) { reply = null; }
        if (reply && reply.status < 500) {
          if (waiting) onWaiting(false);
          return reply;
        }
        if (now() - start >= giveUpMs) {
          if (waiting) onWaiting(false);
          return null;
        }
        // The notice comes when the request has waited NOTICE_AFTER_MS, not
        // before: the wait is cut to wake up then.
        const untilNotice = NOTICE_AFTER_MS - (now() - start);
        if (!waiting && untilNotice <= 0) { waiting = true; onWaiting(true); }
        await sleep(!waiting && untilNotice < delay ? untilNotice : delay);
        if (!waiting && now() - start >= NOTICE_AFTER_MS) { waiting = true; onWaiting(true); }
        delay = Math.min(delay * 2, 5000);
      }
    }
    return {
      join: (name) => send('join', { name }),
      answer: (student, question, answer, ms) => send('answer', { student, question, answer, ms: Math.round(ms) }),
      finish: (student, seconds, giveUpMs) => send('finish', { student, seconds }, giveUpMs),
    };
  }
  return { connect, NOTICE_AFTER_MS };
})();
if (typeof module === 'object') module.exports = LiveConnection;
