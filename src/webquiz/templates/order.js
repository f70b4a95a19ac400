'use strict';
// Each student's own order of a test: the questions, and the answers of
// each multiple-choice question, shuffled by a seed (Fisher-Yates over
// mulberry32, so a seed gives the same order in every browser), or the
// test's own order for seed 0. Places on screen are 1-based ("Question # 3"
// is place 3); questions and answers of the test 0-based. Pure: the page
// and `node --test` both load it.
const Order = (() => {
  function random(seed) {
    let a = seed >>> 0;
    return () => {
      a = (a + 0x6D2B79F5) >>> 0;
      let t = a;
      t = Math.imul(t ^ (t >>> 15), t | 1);
      t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
      return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
  }
  const identity = (n) => Array.from({ length: n }, (_, i) => i);
  function shuffled(n, next) {
    const a = identity(n);
    for (let i = n - 1; i > 0; --i) {
      const j = Math.floor(next() * (i + 1));
      [a[i], a[j]] = [a[j], a[i]];
    }
    return a;
  }
  // A seed no other student is likely to draw; never 0 (the test's order).
  function newSeed() {
    const c = typeof crypto === 'object' && crypto.getRandomValues ? crypto.getRandomValues(new Uint32Array(1))[0]
      : Math.floor(Math.random() * 4294967295);
    return c || 1;
  }
  // questions: [{kind: 'm' | 't', ...}].
  function arrange(seed, questions) {
    const o = {};
    o.rearrange = (s) => {
      o.seed = s >>> 0;
      const next = random(o.seed);
      o.places = o.seed ? shuffled(questions.length, next) : identity(questions.length);
      o.options = questions.map((q) => (o.seed && q.kind === 'm' ? shuffled(4, next) : identity(q.kind === 'm' ? 4 : 2)));
    };
    // The test's question (0-based) shown at place `place` (1-based).
    o.question = (place) => o.places[place - 1];
    // Option `shown` on screen of question `question` as the test has it,
    // and back; -1 for none.
    o.toTest = (question, shown) => (shown >= 0 && shown < o.options[question].length ? o.options[question][shown] : -1);
    o.toShown = (question, test) => o.options[question].indexOf(test);
    // The answers of question `question` in the order shown.
    o.shown = (question, answers) => o.options[question].map((i) => answers[i]);
    o.rearrange(seed);
    return o;
  }
  return { arrange, newSeed };
})();
if (typeof module === 'object') module.exports = Order;
