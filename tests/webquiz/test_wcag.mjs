// The page against WCAG 2.1 AA where automatic checkers and eyes meet:
// axe-core on every state of the page at phone and projector sizes (with a
// planted fault it must catch), then what axe does not see: a focus ring
// on blue and on white, the message box at 400 % zoom, text that follows
// the browser's font size, Stop and Escape for tunes and videos, the
// wrong answer spoken once, the score line announced only when it changes,
// and the focus never left on the page's body.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import * as q from './quizbrowser.mjs';

const S = q.SEP;
const AXE = fs.readFileSync(path.join(process.env.ARDENO_NODE_MODULES, 'axe-core', 'axe.min.js'), 'utf8');
let browser, plain, media, wave, damaged;
before(async () => {
  browser = await q.launch();
  const dir = q.tempDir('wcag');
  plain = q.makeQuiz(dir, 'plain', {
    title: 'Rivers', teacher: 'Class 3',
    records: [
      `m${S}Longest river?${S}Thames${S}Rhine${S}Nile${S}Seine${S}${path.join(q.SAMPLES, 'sunset.jpg')}${S} 2`,
      `t${S}The Rhine flows into the Black Sea.${S}none${S} 1`,
    ],
  });
  media = q.makeQuiz(dir, 'media', {
    title: 'Sounds', teacher: 'Class 3',
    records: [
      `m${S}Which instrument?${S}Piano${S}Drum${S}Flute${S}Harp${S}${path.join(q.SAMPLES, 'song.mp3')}${S} 0`,
      `t${S}This is a film.${S}${path.join(q.SAMPLES, 'clip.mpg')}${S} 0`,
    ],
  });
  wave = q.makeQuiz(dir, 'wave', {
    title: 'Bells', teacher: 'Class 3',
    records: [
      `m${S}Which is it?${S}Piano${S}Drum${S}Flute${S}Harp${S}none${S} 0`,
      `t${S}This is a bell.${S}${path.join(q.SAMPLES, 'bell.wav')}${S} 0`,
    ],
  });
  damaged = q.makeQuiz(dir, 'damaged', {
    title: 'Damaged', teacher: 'Class 3',
    records: [`m${S}Only a question`, `t${S}Fine${S}none${S} 0`],
  });
});
after(async () => { await browser?.close(); });

async function axeViolations(page) {
  await page.evaluate(AXE);
  return page.evaluate(async () => {
    const result = await window.axe.run(document, { runOnly: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] });
    return result.violations.map((v) => v.id + ': ' + v.nodes.map((n) => n.target.join(' ')).join(', '));
  });
}

describe('axe-core', () => {
  for (const [width, height] of [[360, 640], [1920, 1080]]) {
    it(`finds nothing in any state at ${width} x ${height}`, async () => {
      const { page } = await q.openQuiz(browser, plain, { width, height });
      const states = {};
      states.start = await axeViolations(page);
      await q.start(page);
      states.multipleChoice = await axeViolations(page);
      await q.clickOption(page, 0);
      await q.messageShown(page);
      states.message = await axeViolations(page);
      await q.closeMessage(page);
      states.trueFalse = await axeViolations(page);
      await q.clickOption(page, 1);
      await page.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
      states.report = await axeViolations(page);
      assert.deepEqual(states, { start: [], multipleChoice: [], message: [], trueFalse: [], report: [] });
      // A fault planted in the page is caught: the checker really runs.
      await page.evaluate(() => { document.querySelector('#save').textContent = ''; });
      assert.ok((await axeViolations(page)).some((v) => v.startsWith('button-name')));
      await page.close();
    });
  }
});

describe('what axe does not see', () => {
  it('rings the focus in black and white, seen on the blue page and on the white report', async () => {
    const { page } = await q.openQuiz(browser, plain);
    const ring = () => page.evaluate(() => {
      const s = getComputedStyle(document.activeElement);
      return [s.outlineStyle, s.outlineColor, s.boxShadow];
    });
    await page.keyboard.press('Tab');
    await page.keyboard.down('Shift');          // back by keyboard: :focus-visible
    await page.keyboard.press('Tab');
    await page.keyboard.up('Shift');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'start-button');
    const [style, color, shadow] = await ring();
    assert.equal(style, 'solid');
    assert.equal(color, 'rgb(0, 0, 0)');
    assert.match(shadow, /rgb\(255, 255, 255\)/);
    await page.close();
  });

  it('keeps the message box and its button reachable at 400 % zoom (320 x 256)', async () => {
    const { page } = await q.openQuiz(browser, plain, { width: 320, height: 256 });
    await q.start(page);
    await q.clickOption(page, 0);
    await q.messageShown(page);
    const box = await page.evaluate(() => {
      const m = document.getElementById('message').getBoundingClientRect();
      const ok = document.getElementById('message-ok');
      ok.scrollIntoView({ block: 'nearest' });
      const b = ok.getBoundingClientRect();
      return { top: m.top, bottom: m.bottom, okTop: b.top, okBottom: b.bottom, height: innerHeight };
    });
    assert.ok(box.top >= 0 && box.bottom <= box.height, JSON.stringify(box));
    assert.ok(box.okTop >= 0 && box.okBottom <= box.height, JSON.stringify(box));
    await page.close();
  });

  it('grows its text with the browser font size, not the window', async () => {
    const sizes = [];
    for (const standard of [16, 32]) {
      const { page } = await q.openQuiz(browser, plain);
      const session = await page.createCDPSession();
      await session.send('Page.setFontSizes', { fontSizes: { standard } });
      await page.reload({ waitUntil: 'load' });
      sizes.push(await page.evaluate(() => parseFloat(getComputedStyle(document.querySelector('.title')).fontSize)));
      await page.close();
    }
    assert.equal(sizes[1], sizes[0] * 2, sizes.join(' '));
  });

  it('gives a tune Stop (and Escape) and a video its controls', async () => {
    const { page } = await q.openQuiz(browser, media);
    await q.start(page);
    assert.equal(await q.visible(page, '#stop-media'), true);
    await page.waitForFunction(() => { const a = document.getElementById('question-sound'); return a && !a.paused; },
      { timeout: 20000 });
    await page.focus('#m-question');
    await page.keyboard.press('Escape');
    assert.equal(await page.evaluate(() => document.getElementById('question-sound').paused), true);
    await q.clickOption(page, 0);                      // right: the flash, then the video
    await q.waitAnswerable(page);
    assert.equal(await page.evaluate(() => document.getElementById('question-video').controls), true);
    await page.close();
  });

  it('speaks a wrong answer once, the score line only when it changes, and never leaves the focus on the body', async () => {
    const { page } = await q.openQuiz(browser, plain);
    await q.start(page);
    await page.evaluate(() => {
      window.__scoreChanges = 0;
      new MutationObserver(() => { window.__scoreChanges += 1; })
        .observe(document.getElementById('score'), { childList: true, characterData: true, subtree: true });
    });
    await q.clickOption(page, 0);                      // wrong
    assert.match(await q.messageShown(page), /^The correct answer was C/);
    await new Promise((r) => setTimeout(r, 200));
    assert.ok(!(await q.text(page, '#live')).includes('The correct answer'), 'said by the alert dialog alone');
    await q.closeMessage(page);
    assert.equal(await page.evaluate(() => window.__scoreChanges), 0, 'the score did not change');
    assert.notEqual(await page.evaluate(() => document.activeElement.tagName), 'BODY');
    await page.close();

    // While a wave sound plays on the next question (of the other kind,
    // so the option answered is hidden with its frame).
    const bell = await q.openQuiz(browser, wave);
    await q.start(bell.page);
    await q.clickOption(bell.page, 0);
    await bell.page.waitForFunction(() => { const a = document.getElementById('question-sound'); return a && !a.paused; },
      { timeout: 20000 });
    assert.equal(await bell.page.evaluate(() => document.activeElement.id), 't-question');
    await bell.page.close();

    const broken = await q.openQuiz(browser, damaged);
    await q.start(broken.page);
    assert.match(await q.messageShown(broken.page), /Unable to process question/);
    await broken.page.keyboard.press('Enter');
    await q.waitAnswerable(broken.page);
    assert.notEqual(await broken.page.evaluate(() => document.activeElement.tagName), 'BODY');
    await broken.page.close();
  });
});
