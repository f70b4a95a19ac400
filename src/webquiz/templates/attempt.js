'use strict';
// The attempt as a learning platform keeps it in cmi.suspend_data, which
// holds 4,096 characters in SCORM 1.2: one letter per question for the
// answer given and the right one, so a test of 100 questions takes about
// 250. Pure: the page and `node --test` both load it.
const Attempt = (() => {
  const CODE = { A: 'A', B: 'B', C: 'C', D: 'D', True: 'T', False: 'F', '?': '?' };
  const NAME = { A: 'A', B: 'B', C: 'C', D: 'D', T: 'True', F: 'False', '?': '?' };
  // kept: { current, score, spentMs, answers, report?, order? }; n questions; id the test's.
  function pack(kept, n, id) {
    let g = '', r = '';
    for (let i = 0; i < n; ++i) {
      const a = kept.answers[i];
      g += a ? CODE[a.given] || '-' : '-';
      r += a ? CODE[a.right] || '?' : '-';
    }
    const o = { v: 1, i: id, c: kept.current, s: kept.score, t: Math.round(kept.spentMs), g, r };
    if (kept.report) o.p = kept.report;
    if (kept.order) o.o = kept.order;   // the seed of the student's own order
    return JSON.stringify(o);
  }
  // null for anything that is no packed attempt.
  function unpack(text, n) {
    const o = JSON.parse(text);
    if (!o || o.v !== 1 || typeof o.g !== 'string' || typeof o.r !== 'string') return null;
    const answers = [];
    for (let i = 0; i < n; ++i) {
      if (o.g[i] && o.g[i] !== '-') answers[i] = { given: NAME[o.g[i]] || '?', right: NAME[o.r[i]] || '?' };
    }
    const a = { v: 1, id: o.i, current: o.c, score: o.s, spentMs: o.t, answers, report: o.p };
    if (Number.isInteger(o.o)) a.order = o.o;
    return a;
  }
  // An attempt read back from anywhere: usable only when it has the shape
  // the page keeps.
  function usable(a, n) {
    return !!a && a.v === 1 && a.current >= 1 && a.current <= n + 1 && Array.isArray(a.answers);
  }
  return { pack, unpack, usable };
})();
if (typeof module === 'object') module.exports = Attempt;
