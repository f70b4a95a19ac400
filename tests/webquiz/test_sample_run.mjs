// The sample test taken in the browser from start to end: the preview's
// texts, feedback, score line and report, every kind of media really
// playing, the downloaded score log read back by ardeno-tool, and not one
// request leaving the page.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import * as q from './quizbrowser.mjs';

const RIGHT = [1, 0, 2, 0, 0, 0, 0, 0, 2, 1];   // the sample's right answers, A=0 / True=0

describe('the sample test in a browser', () => {
  let browser, dir, html, quiz;
  before(async () => {
    dir = q.tempDir('sample');
    html = q.exportSample(dir);
    browser = await q.launch();
    quiz = await q.openQuiz(browser, html);
  });
  after(async () => { await browser?.close(); });

  it('answers as the file says', () => {
    assert.deepEqual(q.rightAnswers(path.join(q.SAMPLES, 'sample.ard')), RIGHT);
  });

  it('shows the title, the class/teacher line and the score line before the start', async () => {
    const { page } = quiz;
    assert.equal(await q.text(page, '#title'), 'Ardeno Sample Test');
    assert.equal(await q.text(page, '#teacher'), 'Class 5 / Sample Teacher');
    assert.equal(await page.title(), 'Ardeno Sample Test');
    assert.equal(await q.text(page, '#score'), 'Score: 0 correct of 10 total.');
    assert.equal(await page.$eval('html', (el) => el.lang), 'en');
  });

  it('shows question 1 with its number, its picture fitted in the box and four options', async () => {
    const { page } = quiz;
    await q.start(page);
    assert.equal(await q.text(page, '#count'), 'Question # 1');
    assert.equal(await q.text(page, '#m-question'), 'Where is the red dot on this map?');
    assert.equal(await q.text(page, '#m-answer-1'), 'On the large island');
    assert.equal(await q.visible(page, '#truefalse'), false);
    const img = await page.$eval('#media img', (im) => ({
      ok: im.complete && im.naturalWidth > 0, w: im.getBoundingClientRect().width,
      box: im.parentElement.getBoundingClientRect().width,
    }));
    assert.ok(img.ok, 'the BMP is shown');
    assert.ok(img.w <= img.box + 0.5, 'never wider than the box');
    assert.equal(await q.visible(page, '#replay'), false, 'a picture has no replay button');
  });

  it('flashes light blue and plays the right-answer sound for a right click, then counts it', async () => {
    const { page } = quiz;
    await q.clickOption(page, 1);
    // The flash lasts as long as the sound; the colour fades in briefly.
    await page.waitForFunction(() => getComputedStyle(document.body).backgroundColor === 'rgb(150, 200, 255)',
      { timeout: 5000, polling: 20 });
    await q.waitAnswerable(page);
    const events = await q.mediaEvents(page);
    const right = events.filter((e) => e.id === 'audio-right');
    assert.ok(right.some((e) => e.type === 'playing'), 'the right-answer sound started');
    assert.ok(right.some((e) => e.type === 'ended' && e.time > 0.5), 'and played to its end');
    await page.waitForFunction(() => getComputedStyle(document.body).backgroundColor === 'rgb(53, 53, 255)',
      { timeout: 5000 });
    assert.equal(await q.text(page, '#count'), 'Question # 2');
    assert.equal(await q.text(page, '#score'), 'Score: 1 correct of 10 total.');
  });

  it('says the right answer in the page and plays the wrong-answer sound for a wrong click', async () => {
    const { page } = quiz;
    assert.equal(await q.visible(page, '#truefalse'), true);
    const img = await page.$eval('#media img', (im) => im.complete && im.naturalWidth > 0);
    assert.ok(img, 'the JPEG is shown');
    await q.clickOption(page, 1);
    assert.equal(await q.messageShown(page), 'The correct answer was True.');
    assert.equal(await page.$eval('#message', (m) => m.getAttribute('role')), 'alertdialog');
    await q.waitFor(async () => (await q.mediaEvents(page)).some((e) => e.id === 'audio-wrong' && e.type === 'playing'));
    await q.closeMessage(page);
    assert.equal(await q.text(page, '#score'), 'Score: 1 correct of 10 total.');
  });

  it('draws the metafile as a picture and names a wrong multiple-choice answer with its text', async () => {
    const { page } = quiz;
    assert.equal(await q.text(page, '#count'), 'Question # 3');
    const img = await page.$eval('#media img', (im) => ({ ok: im.complete && im.naturalWidth > 0, src: im.src }));
    assert.ok(img.ok, 'the SVG drawn from the WMF is shown');
    // By keyboard this time: the digit keys answer.
    await page.keyboard.press('1');
    assert.equal(await q.messageShown(page), 'The correct answer was C. Three');
    await page.keyboard.press('Enter');
    await q.waitAnswerable(page);
  });

  it('plays the wave sound to its end before the question can be answered', async () => {
    const { page } = quiz;
    assert.equal(await q.text(page, '#count'), 'Question # 4');
    const events = await q.mediaEvents(page);
    const sound = events.filter((e) => e.id === 'question-sound');
    assert.ok(sound.some((e) => e.type === 'ended' && e.time > 0.2), 'the wave sound played to its end');
    assert.equal(await q.text(page, '#replay'), 'Play Sound', 'as the preview names it');
    // T answers True by keyboard.
    await page.keyboard.press('t');
    await q.waitAnswerable(page);
    assert.equal(await q.text(page, '#score'), 'Score: 2 correct of 10 total.');
  });

  it('plays the tune made from the MIDI file, and replays it', async () => {
    const { page } = quiz;
    assert.equal(await q.text(page, '#count'), 'Question # 5');
    assert.equal(await q.text(page, '#replay'), 'Play Music');
    await q.waitFor(async () => (await q.mediaEvents(page)).some((e) => e.id === 'question-sound' && e.type === 'timeupdate' && e.time > 0.1));
    await page.click('#replay');
    // Enter on the focused option answers, as Tab/Enter users do.
    await page.focus('#multiple .option[data-index="0"]');
    await page.keyboard.press('Enter');
    await q.waitAnswerable(page);
  });

  it('plays the MP3 tune', async () => {
    const { page } = quiz;
    assert.equal(await q.text(page, '#count'), 'Question # 6');
    await q.waitFor(async () => {
      const ev = await q.mediaEvents(page);
      const start = ev.findIndex((e) => e.type === 'playing' && e.id === 'question-sound');
      return start >= 0 && ev.slice(start).some((e) => e.id === 'question-sound' && e.time > 0.1);
    });
    await q.clickOption(page, 0);
    await q.waitAnswerable(page);
  });

  for (const [number, name] of [[7, 'AVI'], [8, 'MPEG']]) {
    it(`shows frames of the ${name} video, transcoded for the browser`, async () => {
      const { page } = quiz;
      assert.equal(await q.text(page, '#count'), `Question # ${number}`);
      assert.equal(await q.text(page, '#replay'), 'Play Movie');
      await page.waitForFunction(() => {
        const v = document.getElementById('question-video');
        return v && v.currentTime > 0.1 && v.videoWidth > 0;
      }, { timeout: 30000 });
      const picture = await page.evaluate(() => {
        const v = document.getElementById('question-video');
        const c = document.createElement('canvas');
        c.width = v.videoWidth; c.height = v.videoHeight;
        const g = c.getContext('2d');
        g.drawImage(v, 0, 0);
        const d = g.getImageData(0, 0, c.width, c.height).data;
        let min = 255, max = 0;
        for (let i = 0; i < d.length; i += 4) { const l = d[i] + d[i + 1] + d[i + 2]; min = Math.min(min, l); max = Math.max(max, l); }
        return { w: c.width, h: c.height, spread: max - min };
      });
      assert.deepEqual([picture.w, picture.h], number === 7 ? [320, 240] : [352, 288], 'kept its size');
      assert.ok(picture.spread > 60, `a frame with a picture on it (spread ${picture.spread})`);
      await q.clickOption(page, 0);
      await q.waitAnswerable(page);
    });
  }

  it('ends with the report texts after the last answers, the time from the page clock', async () => {
    const { page } = quiz;
    await q.clickOption(page, 2);    // 9: right
    await q.waitAnswerable(page);
    // Two minutes and one second on the clock at the end.
    await q.advanceClock(page, 121000);
    await q.clickOption(page, 0);    // 10: wrong (False is right)
    assert.equal(await q.messageShown(page), 'The correct answer was False.');
    await page.click('#message-ok');
    await page.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
    const lines = await page.$$eval('#report-lines p', (ps) => ps.map((p) => p.textContent));
    assert.deepEqual(lines, [
      'You got 7 correct out of 10 total questions.',
      'You scored 70 percent.',
      'You spent 2 minutes and 1 seconds on this quiz.',
    ]);
    assert.equal(await q.text(page, '#score'), 'Score: 7 correct of 10 total.');
  });

  it('saves a score log the log viewer reads', async () => {
    const { page } = quiz;
    const downloads = q.tempDir('download');
    await q.allowDownloads(page, downloads);
    await page.type('#student', 'Anna Šimková');
    await page.click('#save');
    const file = path.join(downloads, 'Ardeno Sample Test - Anna Šimková.log');
    await q.waitFor(() => fs.existsSync(file) && fs.statSync(file).size > 0);
    const txt = path.join(downloads, 'log.txt');
    q.tool(['log2txt', file, txt]);
    const lines = fs.readFileSync(txt, 'latin1').split('\r\n');
    assert.equal(lines[0], 'Ardeno web quiz result');
    assert.equal(lines[1], 'Test: Ardeno Sample Test');
    // The test it belongs to: the start of the SHA-256 of its file.
    assert.equal(lines[2], 'Test id: ' + q.testId(path.join(q.SAMPLES, 'sample.ard')));
    assert.equal(lines[3], 'Class/Teacher: Class 5 / Sample Teacher');
    // Windows-1252 bytes: Š is 0x8A.
    assert.equal(lines[4], 'Student: Anna \u008aimkov\u00e1');
    assert.match(lines[5], /^Date: \d{4}-\d\d-\d\d \d\d:\d\d:\d\d$/);
    assert.equal(lines[6], 'Score: 7 correct of 10 total questions.');
    assert.equal(lines[7], 'Percent: 70');
    assert.equal(lines[8], 'Time spent: 2 minutes and 1 seconds');
    assert.equal(lines[9], 'Question 1: answered B, right answer B');
    assert.equal(lines[10], 'Question 2: answered False, right answer True');
    assert.equal(lines[11], 'Question 3: answered A, right answer C');
    assert.equal(lines[18], 'Question 10: answered True, right answer False');
    // Every byte of the file is scrambled: no plain text in it.
    assert.ok(!fs.readFileSync(file).includes('Ardeno'));
    assert.equal(await q.text(page, '#saved'), 'Your browser is saving your result as '
      + '"Ardeno Sample Test - Anna Šimková.log" (look in your downloads). Hand this file to your teacher.');
  });

  it('made no request outside the page and raised no script error', () => {
    assert.deepEqual(quiz.blocked, []);
    assert.deepEqual(quiz.errors, []);
  });
});
