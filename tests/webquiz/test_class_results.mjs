// Class results from the real web quiz: a class takes the quiz in Chromium,
// each student saves the result, and ardeno-tool class reads the folder of
// downloaded logs into the figures the Class Results window shows.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import * as q from './quizbrowser.mjs';

const S = q.SEP;
let browser, dir, downloads;
before(async () => {
  browser = await q.launch();
  dir = q.tempDir('class');
  downloads = path.join(dir, 'results');
  fs.mkdirSync(downloads);
});
after(async () => { await browser?.close(); });

const RECORDS = [
  `m${S}Longest river?${S}Nile${S}Rhine${S}Seine${S}Thames${S}none${S} 0`,
  `t${S}The Danube flows into the Black Sea.${S}none${S} 0`,
  `m${S}River through Paris?${S}Thames${S}Tiber${S}Seine${S}Rhine${S}none${S} 2`,
  `t${S}The Thames flows through Paris.${S}none${S} 1`,
];

// One student takes the quiz, answering with the options given, and saves
// the result into the class's folder.
async function take(html, name, options) {
  const { page, errors } = await q.openQuiz(browser, html);
  const client = await page.target().createCDPSession();
  await client.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await q.start(page);
  for (const option of options) {
    await q.clickOption(page, option);
    await q.waitAnswerable(page);
    if (await page.evaluate(() => !document.getElementById('message').hidden)) await q.closeMessage(page);
  }
  await page.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
  await page.type('#student', name);
  const before = new Set(fs.readdirSync(downloads));
  await page.click('#save');
  await q.waitFor(() => fs.readdirSync(downloads).some((f) => !before.has(f) && f.endsWith('.log')
    && fs.statSync(path.join(downloads, f)).size > 0));
  assert.deepEqual(errors, []);
  await page.close();
}

describe('a class of web quiz results', () => {
  it('gives ardeno-tool class the figures of what the students answered', async () => {
    const html = q.makeQuiz(dir, 'rivers', { title: 'Rivers', teacher: 'Class 3', records: RECORDS });
    // Right answers: A, True, C, False (indices 0, 0, 2, 1).
    await take(html, 'Ann', [0, 0, 2, 1]);   // 4
    await take(html, 'Ben', [0, 1, 3, 1]);   // 2
    await take(html, 'Zoë', [1, 0, 3, 0]);   // 1
    await take(html, 'Dee', [1, 1, 3, 1]);   // 1
    // The same class, a changed test: another test's result.
    const changed = q.makeQuiz(dir, 'rivers2', { title: 'Rivers', teacher: 'Class 3', records: RECORDS.slice(0, 3) });
    await take(changed, 'Eve', [0, 0, 2]);

    const run = spawnSync(q.TOOL, ['class', '--folder', downloads, '--json'], { encoding: 'utf8' });
    assert.equal(run.status, 0, run.stderr);
    const result = JSON.parse(run.stdout);
    assert.equal(result.test, 'Rivers');
    assert.deepEqual(result.students.map((s) => [s.name, s.score, s.percent]).sort(),
      [['Ann', 4, 100], ['Ben', 2, 50], ['Dee', 1, 25], ['Zo\u00eb', 1, 25]]);
    assert.deepEqual(result.students.find((s) => s.name === 'Ben').answers, ['A', 'False', 'D', 'False']);
    assert.equal(result.other_tests.length, 1);
    assert.match(result.other_tests[0], /Rivers - Eve\.log$/);
    assert.deepEqual(result.unreadable, []);
    // Q3: only Ann right; D chosen by the other three.
    const q3 = result.questions[2];
    assert.equal(q3.facility, 0.25);
    assert.equal(q3.most_chosen_wrong, 'D');
    assert.equal(q3.most_chosen_wrong_share, 0.75);
    assert.equal(q3.discrimination, 1);   // groups of one: Ann right, the last of the lowest wrong
    assert.equal(q3.concern, 'few right (25%); most chose D');
  });
});
