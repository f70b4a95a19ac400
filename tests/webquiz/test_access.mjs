// The page for every student: a 360-pixel phone without sideways
// scrolling, and keyboard only.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
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
    // The answer keys act only while the focus is in the question.
    await page.evaluate(() => document.activeElement.blur());
    await page.keyboard.press('t');
    await new Promise((r) => setTimeout(r, 300));
    assert.equal(await q.text(page, '#count'), 'Question # 2');
    await page.focus('#t-question');
    await page.keyboard.press('t');
    await page.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
    assert.equal(await page.evaluate(() => document.activeElement.id), 'student');
    await page.close();
  });
});

describe('what a screen shows and a screen reader reads', () => {
  // The WCAG contrast of two "rgb(r, g, b)" colours.
  function contrast(a, b) {
    const luminance = (css) => {
      const [r, g, bl] = css.match(/\d+(\.\d+)?/g).slice(0, 3).map(Number).map((v) => {
        const c = v / 255;
        return c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4;
      });
      return 0.2126 * r + 0.7152 * g + 0.0722 * bl;
    };
    const [hi, lo] = [luminance(a), luminance(b)].sort((x, y) => y - x);
    return (hi + 0.05) / (lo + 0.05);
  }

  it('keeps every text at 4.5:1 against what it stands on, names the picture, and proposes a result name without full stops', async () => {
    const d = q.tempDir('reader');
    fs.copyFileSync(path.join(q.DATA, 'pictures', 'redblue-40x30.bmp'), path.join(d, 'map.bmp'));
    const pictured = q.makeQuiz(d, 'reader', {
      title: 'Rivers', teacher: 'Class 2',
      records: [`t${S}Is this a map?${S}map.bmp${S} 0`],
    });
    const { page } = await q.openQuiz(browser, pictured);
    await q.start(page);
    const colours = await page.evaluate(() => {
      const behind = (el) => {
        for (let e = el; e; e = e.parentElement) {
          const bg = getComputedStyle(e).backgroundColor;
          if (!/rgba\(.*, 0\)$/.test(bg) && bg !== 'transparent') return bg;
        }
        return 'rgb(255, 255, 255)';
      };
      return [...document.querySelectorAll('.title, .teacher, .score, .count, .question, legend, label')]
        .filter((e) => e.offsetParent !== null && e.textContent.trim() !== '')
        .map((e) => ({ what: e.className || e.tagName, fg: getComputedStyle(e).color, bg: behind(e) }));
    });
    assert.ok(colours.length >= 4, JSON.stringify(colours));
    for (const c of colours)
      assert.ok(contrast(c.fg, c.bg) >= 4.5, `${c.what}: ${c.fg} on ${c.bg} is ${contrast(c.fg, c.bg).toFixed(2)}:1`);
    assert.equal(await page.$eval('#media img', (im) => im.alt), 'Picture for question 1');

    await q.clickOption(page, 0);
    await page.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
    await page.type('#student', 'Anna B.');
    await page.click('#save');
    await page.waitForFunction(() => document.getElementById('saved').textContent !== '');
    assert.equal(await q.text(page, '#saved'), 'Your browser is saving your result as "Rivers - Anna B.log" '
      + '(look in your downloads). Hand this file to your teacher.');
    await page.close();
  });

  it('gives the teacher\'s description as the picture\'s text and as a sound\'s transcript, and the test\'s texts their language', async () => {
    const d = q.tempDir('described');
    fs.copyFileSync(path.join(q.DATA, 'pictures', 'redblue-40x30.bmp'), path.join(d, 'map.bmp'));
    fs.copyFileSync(path.join(q.DATA, 'media', 'tone.wav'), path.join(d, 'tone.wav'));
    const described = q.makeQuiz(d, 'described', {
      title: 'Fleuves', teacher: 'Classe 2', language: 'fr',
      records: [`t${S}Est-ce une carte ?${S}map.bmp${S} 0`, `t${S}Un son ?${S}tone.wav${S} 0`],
      descriptions: ['Une carte rouge et bleue.', 'Un bip aigu d\'une seconde.'],
    });
    const { page, errors } = await q.openQuiz(browser, described);
    // The page's own texts stay English; the test's are in its language.
    assert.equal(await page.$eval('html', (h) => h.lang), 'en');
    assert.deepEqual(await page.evaluate(() => ['title', 'teacher', 't-question'].map((id) => document.getElementById(id).lang)),
      ['fr', 'fr', 'fr']);
    await q.start(page);
    assert.equal(await page.$eval('#media img', (im) => im.alt), 'Une carte rouge et bleue.');
    assert.equal(await q.visible(page, '#transcript'), false);
    await q.clickOption(page, 0);
    await q.waitAnswerable(page);
    assert.equal(await q.visible(page, '#transcript'), true);
    assert.equal(await q.text(page, '#transcript'), 'Un bip aigu d\'une seconde.');
    assert.equal(await page.$eval('#transcript', (t) => t.lang), 'fr');
    await q.clickOption(page, 0);
    await page.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
    assert.equal(await q.visible(page, '#transcript'), false);
    assert.deepEqual(errors, []);
    await page.close();
  });
});
