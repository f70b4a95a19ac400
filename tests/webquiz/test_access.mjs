// The page for every student: a 360-pixel phone without sideways
// scrolling, and keyboard only.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import * as q from './quizbrowser.mjs';

const S = q.SEP;
let browser, html;
before(async () => {
  browser = await q.launch();
  const dir = q.tempDir('access');
  const long = 'A question long enough to wrap many times on a phone: ' + 'Supercalifragilisticexpialidocious'.repeat(4);
  html = q.makeQuiz(dir, 'access', {
    title: 'Accessibility ' + 'W'.repeat(60), teacher: 'Class 1',
    records: [
      `m${S}${long}${S}${'Answer '.repeat(12)}${S}B${S}C${S}D${S}none${S} 0`,
      `t${S}Short${S}none${S} 0`,
    ],
  });
});
after(async () => { await browser?.close(); });

async function noSidewaysScroll(page) {
  return page.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth);
}

describe('a 360 x 640 phone', () => {
  it('needs no sideways scrolling at the start, during a question and in the report', async () => {
    const { page, blocked } = await q.openQuiz(browser, html, { width: 360, height: 640 });
    assert.ok(await noSidewaysScroll(page), 'start');
    await q.start(page);
    assert.ok(await noSidewaysScroll(page), 'question');
    await q.clickOption(page, 1);
    await q.messageShown(page);
    assert.ok(await noSidewaysScroll(page), 'message');
    await q.closeMessage(page);
    await q.clickOption(page, 0);
    await page.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
    assert.ok(await noSidewaysScroll(page), 'report');
    assert.deepEqual(blocked, []);
    await page.close();
  });
});

describe('keyboard only', () => {
  it('starts with Enter, answers with Tab and Enter, digits and T/F, and saves with Enter', async () => {
    const { page } = await q.openQuiz(browser, html);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'start-button');
    await page.keyboard.press('Enter');
    await q.waitAnswerable(page);
    // Focus is on the question, so Enter answers nothing; Tab reaches A,
    // then B.
    assert.equal(await page.evaluate(() => document.activeElement.id), 'm-question');
    await page.keyboard.press('Tab');
    await page.keyboard.press('Tab');
    assert.equal(await page.evaluate(() => document.activeElement.dataset.index), '1');
    await page.keyboard.press('Enter');
    assert.match(await q.messageShown(page), /^The correct answer was A\. Answer/);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'message-ok');
    // One press, one answer: the Enter that closes the message, and one
    // more right after it, answer nothing on the next question.
    await page.keyboard.press('Enter');
    await q.waitAnswerable(page);
    await page.keyboard.press('Enter');
    await new Promise((r) => setTimeout(r, 300));
    assert.equal(await q.text(page, '#count'), 'Question # 2');
    assert.equal(await q.visible(page, '#message'), false);
    await page.keyboard.press('t');
    await page.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
    assert.equal(await page.evaluate(() => document.activeElement.id), 'student');
    await page.close();
  });
});
