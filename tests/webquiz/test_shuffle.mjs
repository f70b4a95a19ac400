// Each student's own order: a page exported with --shuffle shows two
// students the questions and the answers in orders of their own, keeps a
// student's order across a reload, gives feedback in the letters the
// student saw, and saves the result in the test's order and letters, as
// the unshuffled page does.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import * as q from './quizbrowser.mjs';

const S = q.SEP;
// Eight questions of distinct texts; the right answer of each, as text.
const QUESTIONS = [
  ['m', 'Longest river?', ['Nile', 'Rhine', 'Seine', 'Thames'], 0],
  ['t', 'The Danube flows into the Black Sea.', [], 0],
  ['m', 'Which flows through Paris?', ['Po', 'Seine', 'Tiber', 'Ebro'], 1],
  ['m', 'Which flows through Rome?', ['Po', 'Seine', 'Tiber', 'Ebro'], 2],
  ['t', 'The Thames flows through Paris.', [], 1],
  ['m', 'Which flows through Madrid?', ['Manzanares', 'Loire', 'Elbe', 'Oder'], 0],
  ['m', 'Which flows through Dresden?', ['Loire', 'Rhone', 'Elbe', 'Oder'], 2],
  ['m', 'Which flows through Wroclaw?', ['Loire', 'Rhone', 'Elbe', 'Oder'], 3],
];
const RIGHT_WORD = QUESTIONS.map(([kind, , , right]) => (kind === 't' ? ['True', 'False'][right] : 'ABCD'[right]));
let browser, dir, ard, shuffled, plain;
before(async () => {
  browser = await q.launch();
  dir = q.tempDir('shuffle');
  plain = q.makeQuiz(dir, 'rivers', {
    title: 'Rivers', teacher: 'Class 3',
    records: QUESTIONS.map(([kind, text, answers, right]) => (kind === 'm'
      ? `m${S}${text}${S}${answers.join(S)}${S}none${S} ${right}`
      : `t${S}${text}${S}none${S} ${right}`)),
  });
  ard = path.join(dir, 'rivers.ard');
  shuffled = path.join(dir, 'shuffled.html');
  q.tool(['export', ard, shuffled, '--format', 'web', '--shuffle']);
});
after(async () => { await browser?.close(); });

// The question on screen: its index in the test and, for a multiple-choice
// one, the answers in the order shown.
async function shown(page) {
  const frame = await page.evaluate(() => (document.getElementById('multiple').hidden ? 't' : 'm'));
  const text = await q.text(page, frame === 'm' ? '#m-question' : '#t-question');
  const index = QUESTIONS.findIndex(([, t]) => t === text);
  const answers = frame === 'm'
    ? await page.evaluate(() => [0, 1, 2, 3].map((i) => document.getElementById('m-answer-' + i).textContent)) : [];
  return { index, answers };
}

// Answers the question on screen rightly; returns what was shown.
async function answerRightly(page) {
  const s = await shown(page);
  const [kind, , answers, right] = QUESTIONS[s.index];
  await q.clickOption(page, kind === 't' ? right : s.answers.indexOf(answers[right]));
  await q.waitAnswerable(page);
  return s;
}

describe('each student in an order of their own', () => {
  it('shows two students different orders, keeps one across a reload, and saves in the test order', async () => {
    const seen = [];
    for (const student of ['Anna', 'Ben']) {
      const { page, errors } = await q.openQuiz(browser, shuffled);
      await q.start(page);
      const order = [];
      for (let place = 1; place <= QUESTIONS.length; ++place) {
        assert.equal(await q.text(page, '#count'), 'Question # ' + place);
        if (student === 'Anna' && place === 4) {
          // A reload keeps the order: the same question at the same place.
          const before = await shown(page);
          page.on('dialog', (d) => d.accept());
          await page.reload({ waitUntil: 'load' });
          await page.waitForFunction(() => document.getElementById('resume-text').textContent.trim() !== '');
          await page.click('#continue-button');
          await q.waitAnswerable(page);
          assert.deepEqual(await shown(page), before);
        }
        const s = await answerRightly(page);
        order.push(s.index);
        if (s.answers.length) assert.deepEqual([...s.answers].sort(), [...QUESTIONS[s.index][2]].sort());
      }
      assert.deepEqual([...order].sort(), [...QUESTIONS.keys()], 'every question once');
      assert.equal(await q.text(page, '#score'), 'Score: 8 correct of 8 total.');
      seen.push(order);
      // The result: in the test's order and letters.
      await page.type('#student', student);
      const downloads = fs.mkdtempSync(path.join(dir, 'downloads-'));
      await q.allowDownloads(page, downloads);
      await page.click('#save');
      const file = path.join(downloads, `Rivers - ${student}.log`);
      await q.waitFor(() => fs.existsSync(file) && fs.statSync(file).size > 0);
      const lines = q.logLines(file);
      assert.equal(lines[2], 'Test id: ' + q.testId(ard));
      for (let n = 1; n <= QUESTIONS.length; ++n) {
        assert.ok(lines.includes(`Question ${n}: answered ${RIGHT_WORD[n - 1]}, right answer ${RIGHT_WORD[n - 1]}`),
          `question ${n} in the test's letters`);
      }
      assert.deepEqual(errors, []);
      await page.close();
    }
    assert.notDeepEqual(seen[0], seen[1], 'two students, two orders');
  });

  it('says the right answer in the letter the student saw', async () => {
    const { page } = await q.openQuiz(browser, shuffled);
    await q.start(page);
    let s = await shown(page);
    while (QUESTIONS[s.index][0] !== 'm') {
      await answerRightly(page);
      s = await shown(page);
    }
    const [, , answers, right] = QUESTIONS[s.index];
    const rightShown = s.answers.indexOf(answers[right]);
    await q.clickOption(page, (rightShown + 1) % 4);
    assert.equal(await q.messageShown(page), `The correct answer was ${'ABCD'[rightShown]}. ${answers[right]}`);
    await page.close();
  });

  it('keeps the test order on a page exported without it', async () => {
    const { page } = await q.openQuiz(browser, plain);
    await q.start(page);
    for (let place = 1; place <= 3; ++place) {
      const s = await answerRightly(page);
      assert.equal(s.index, place - 1);
      if (s.answers.length) assert.deepEqual(s.answers, QUESTIONS[s.index][2]);
    }
    await page.close();
  });
});
