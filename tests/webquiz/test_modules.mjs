// The page script's pure modules without a browser: the score log's bytes
// and names, the attempt as a learning platform keeps it, and the live
// connection's resending.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const require = createRequire(import.meta.url);
const templates = path.join(path.dirname(fileURLToPath(import.meta.url)), '../../src/webquiz/templates');
const ScoreLog = require(path.join(templates, 'scorelog.js'));
const Attempt = require(path.join(templates, 'attempt.js'));
const Order = require(path.join(templates, 'order.js'));
const LiveConnection = require(path.join(templates, 'live.js'));

const unscramble = (bytes) => Buffer.from(bytes.map((b) => b ^ 0xB6)).toString('latin1');

test('a log line is Windows-1252 scrambled, and nothing in it breaks the line', () => {
  const cases = [
    ['Plain', 'Plain'],
    ['Zoë €5 “quoted”', 'Zoë \x805 \x93quoted\x94'],
    ['A\u00bbB\u00bcC', 'A?B?C'],          // their scrambled bytes would be LF and CR
    ['two\nlines\r', 'two lines '],
    ['李 😀', '? ?'],
  ];
  for (const [text, expected] of cases) {
    const bytes = ScoreLog.line(text);
    assert.equal(unscramble(bytes), expected, text);
    assert.ok(!bytes.includes(10) && !bytes.includes(13), text);
  }
});

test('names are written in a readable Latin form', () => {
  const cases = [['Дмитрий Łukasz', 'Dmitrij Lukasz'], ['Щука Ёж', 'Shchuka Ezh'], ['Σωκράτης', 'Sokratis'],
    ['Zoë Ångström', 'Zoë Ångström'], ['Объект', 'Obekt']];
  for (const [typed, written] of cases) assert.equal(ScoreLog.latinName(typed), written);
});

test('the log has every question in order, and its file name no full stop', () => {
  const r = { title: 'Rivers', id: '0123456789ab', teacher: 'Class 3', name: 'Anna B.',
    date: new Date(2026, 11, 1, 9, 5, 7), score: 1, percent: 33, time: '2 minutes and 5 seconds',
    answers: [{ given: 'A', right: 'A' }, { given: 'True', right: 'False' }] };
  const lines = ScoreLog.lines(r, 3);
  assert.deepEqual(lines.slice(4, 9), ['Student: Anna B.', 'Date: 2026-12-01 09:05:07',
    'Score: 1 correct of 3 total questions.', 'Percent: 33', 'Time spent: 2 minutes and 5 seconds']);
  assert.equal(lines[11], 'Question 3: answered -, right answer -');
  const bytes = [...ScoreLog.bytes(r, 3)];
  assert.equal(bytes.filter((b) => b === 10).length, 12);
  assert.deepEqual(bytes.slice(-2), [13, 10]);
  for (const [title, name, file] of [['Rivers', 'Anna B.', 'Rivers - Anna B.log'],
    ['Rivers', 'J. R. Smith', 'Rivers - J R Smith.log'], ['a/b', '..\\x:y', 'a_b - _x_y.log'],
    ['T', 'x'.repeat(300), 'T - ' + 'x'.repeat(196) + '.log']]) {
    assert.equal(ScoreLog.fileName(title, name), file);
  }
  // A long title in Greek gives way before the name: within a file name's bytes.
  const greek = ScoreLog.fileName('Ελληνικά '.repeat(30), 'Anna');
  assert.ok(greek.startsWith('Ελληνικά ') && greek.endsWith(' - Anna.log'), greek);
  assert.ok(new TextEncoder().encode(greek).length <= 204);
  // A name the "Student:" line cannot give back gains a line after the answers.
  assert.equal(ScoreLog.lines({ ...r, name: '张伟' }, 3).pop(), 'Student as typed: %E5%BC%A0%E4%BC%9F');
  assert.equal(ScoreLog.lines({ ...r, name: 'Zoë' }, 3).length, 12);
  assert.equal(ScoreLog.timeText(60), '60 seconds');
  assert.equal(ScoreLog.timeText(61), '1 minutes and 1 seconds');
  assert.equal(ScoreLog.percent(2, 3), 66);
});

test('an attempt packs into little room and unpacks to what was kept', () => {
  const answers = [];
  for (let i = 0; i < 100; ++i) answers[i] = { given: ['A', 'B', 'True', 'False'][i % 4], right: i % 7 ? 'C' : '?' };
  const kept = { current: 101, score: 12, spentMs: 61234.4, answers, report: { score: 12, percent: 12 } };
  const packed = Attempt.pack(kept, 100, '0123456789ab');
  assert.ok(packed.length < 300, packed.length);
  const back = Attempt.unpack(packed, 100);
  assert.deepEqual(back, { v: 1, id: '0123456789ab', current: 101, score: 12, spentMs: 61234, answers,
    report: kept.report });
  // A student's own order is kept as its seed.
  assert.equal(Attempt.unpack(Attempt.pack({ ...kept, order: 3735928559 }, 100, 'x'), 100).order, 3735928559);
  const half = Attempt.unpack(Attempt.pack({ current: 2, score: 0, spentMs: 0, answers: [{ given: 'D', right: 'A' }] },
    3, 'x'), 3);
  assert.equal(half.answers.length, 1);
  for (const wrong of ['null', '{"v":2}', '{"v":1,"g":5,"r":""}']) assert.equal(Attempt.unpack(wrong, 3), null);
  assert.ok(Attempt.usable(back, 100));
  for (const bad of [null, { v: 1, current: 0, answers: [] }, { v: 1, current: 102, answers: [] }, { v: 1, current: 1 }])
    assert.ok(!Attempt.usable(bad, 100));
});

test('a seed gives each student an order of their own, the same on every load, mapped back to the test', () => {
  const questions = Array.from({ length: 20 }, (_, i) => ({ kind: i % 3 ? 'm' : 't' }));
  const plain = Order.arrange(0, questions);
  assert.deepEqual(Array.from({ length: 20 }, (_, i) => plain.question(i + 1)), [...Array(20).keys()]);
  assert.equal(plain.toTest(1, 2), 2);
  const a = Order.arrange(12345, questions);
  const again = Order.arrange(12345, questions);
  const b = Order.arrange(67890, questions);
  const places = (o) => Array.from({ length: 20 }, (_, i) => o.question(i + 1));
  assert.deepEqual(places(a), places(again));
  assert.notDeepEqual(places(a), places(b));
  assert.deepEqual([...places(a)].sort((x, y) => x - y), [...Array(20).keys()], 'every question once');
  for (let q = 0; q < 20; ++q) {
    const n = questions[q].kind === 'm' ? 4 : 2;
    for (let shown = 0; shown < n; ++shown) assert.equal(a.toShown(q, a.toTest(q, shown)), shown);
    if (n === 2) assert.deepEqual([a.toTest(q, 0), a.toTest(q, 1)], [0, 1], 'True stays before False');
    assert.deepEqual(a.shown(q, ['w', 'x', 'y', 'z'].slice(0, n)).sort(), ['w', 'x', 'y', 'z'].slice(0, n));
  }
  assert.equal(a.toShown(1, 9), -1, 'a right answer naming no option stays none');
  assert.equal(a.toTest(1, -1), -1);
  assert.ok(Order.newSeed() > 0);
});

test('the live connection sends again until the computer answers, and takes a refusal as final', async () => {
  let clock = 0;
  const calls = [];
  const waiting = [];
  const replies = [new Error('offline'), { status: 503, body: {} }, new Error('offline'), { status: 200, body: { ok: 1 } }];
  const connection = LiveConnection.connect({
    post: async (what, body) => {
      calls.push([what, body]);
      const next = replies.shift();
      if (next instanceof Error) throw next;
      return next;
    },
    sleep: async (ms) => { clock += ms; },
    onWaiting: (w) => waiting.push([w, clock]),
    now: () => clock,
  });
  const reply = await connection.answer('t0k', 3, 'B', 1234.6);
  assert.deepEqual(reply, { status: 200, body: { ok: 1 } });
  assert.equal(calls.length, 4);
  assert.deepEqual(calls[0], ['answer', { student: 't0k', question: 3, answer: 'B', ms: 1235 }]);
  assert.deepEqual(waiting, [[true, LiveConnection.NOTICE_AFTER_MS], [false, LiveConnection.NOTICE_AFTER_MS]],
    'the note shows once the request has waited three seconds, not before, and goes');

  replies.push({ status: 403, body: { error: 'no' } });
  assert.equal((await connection.join('Anna')).status, 403);

  clock = 0;
  const down = LiveConnection.connect({ post: async () => { throw new Error('gone'); }, sleep: async (ms) => { clock += ms; },
    now: () => clock });
  assert.equal(await down.finish('t0k', 42, 30000), null, 'a computer gone for good is given up on');
  assert.ok(clock >= 30000 && clock < 40000);
});
