// What the web quiz tests share: Debian's chromium driven by puppeteer-core
// (installed into the build folder by the test set-up), a page opened from
// file:// with every request checked, media events recorded, the page's
// clock under the test's control, and tests made with ardeno-tool.
import { createRequire } from 'node:module';
import { execFileSync } from 'node:child_process';
import crypto from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const require = createRequire(path.resolve(process.env.ARDENO_NODE_MODULES || '.', 'x.js'));
const puppeteer = require('puppeteer-core');

export const TOOL = process.env.ARDENO_TOOL;
export const SAMPLES = process.env.ARDENO_SAMPLES;
export const DATA = process.env.ARDENO_TEST_DATA;
export const SEP = '\u00a9';

export function tempDir(name) {
  return fs.mkdtempSync(path.join(os.tmpdir(), 'webquiz-' + name + '-'));
}

export function tool(args, options = {}) {
  return execFileSync(TOOL, args, { encoding: 'utf8', stdio: ['pipe', 'pipe', 'pipe'], ...options });
}

// Writes a test with the editor's own save routine, then exports it.
export function makeQuiz(dir, name, test) {
  const ard = path.join(dir, name + '.ard');
  tool(['save', ard], { input: JSON.stringify(test), cwd: dir });
  const html = path.join(dir, name + '.html');
  tool(['export', ard, html, '--format', 'web']);
  return html;
}

export function exportSample(dir) {
  const html = path.join(dir, 'sample.html');
  tool(['export', path.join(SAMPLES, 'sample.ard'), html, '--format', 'web']);
  return html;
}

export async function launch() {
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
}

// Opens the page; every request but the page itself, data: and blob: is
// recorded in `blocked` and fails.
export async function openQuiz(browser, file, { width = 1024, height = 768 } = {}) {
  // A browser context of its own: each page opened by a test begins with
  // nothing kept by another (pages from files share one storage), and a
  // reload of it keeps its own.
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.once('close', () => { context.close().catch(() => {}); });
  await page.setViewport({ width, height });
  const url = pathToFileURL(file).href;
  const blocked = [];
  const errors = [];
  await page.setRequestInterception(true);
  page.on('request', (request) => {
    const u = request.url();
    if (u === url || u.startsWith('data:') || u.startsWith('blob:')) request.continue();
    else { blocked.push(u); request.abort(); }
  });
  page.on('pageerror', (e) => errors.push(String(e)));
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  // The page's clock stands still until the test moves it; every media
  // event is recorded.
  await page.evaluateOnNewDocument(() => {
    const base = Date.now();
    window.__clockOffset = 0;
    Date.now = () => base + window.__clockOffset;
    window.__media = [];
    for (const type of ['play', 'playing', 'ended', 'timeupdate', 'error']) {
      document.addEventListener(type, (e) => {
        const el = e.target;
        window.__media.push({ id: el.id || el.tagName, type, time: el.currentTime, src: String(el.src).slice(0, 5) });
      }, true);
    }
  });
  await page.goto(url, { waitUntil: 'load' });
  return { page, blocked, errors, url };
}

export async function advanceClock(page, ms) {
  await page.evaluate((d) => { window.__clockOffset += d; }, ms);
}

export async function text(page, selector) {
  return page.$eval(selector, (el) => el.textContent);
}

export async function visible(page, selector) {
  return page.$eval(selector, (el) => !el.closest('[hidden]') && el.getClientRects().length > 0);
}

export async function start(page) {
  await page.click('#start-button');
  await waitAnswerable(page);
}

// Answers may be given once the question is shown and its sound has played.
export async function waitAnswerable(page) {
  await page.waitForFunction(() => !document.getElementById('message').hidden
    || document.getElementById('quiz').dataset.ready === 'yes'
    || !document.getElementById('report').hidden, { timeout: 60000 });
}

// Clicks option `index` (0-3 for A-D, 0/1 for True/False) of the frame shown.
export async function clickOption(page, index) {
  const frame = await page.evaluate(() => (document.getElementById('multiple').hidden ? '#truefalse' : '#multiple'));
  await page.click(`${frame} .option[data-index="${index}"]`);
}

export async function messageShown(page) {
  await page.waitForFunction(() => !document.getElementById('message').hidden, { timeout: 60000 });
  return text(page, '#message-text');
}

export async function closeMessage(page) {
  await page.click('#message-ok');
  await waitAnswerable(page);
}

// The right answers of a test, by the tool's own reading of the file.
export function rightAnswers(ardPath) {
  const dump = JSON.parse(tool(['dump', ardPath]));
  return dump.records.map((r) => {
    const f = r.split(SEP);
    return Number(f[f.length - 1]);
  });
}

// The identity a page and its results give a test: the first 12 hex digits
// of the SHA-256 of its file.
export function testId(ardPath) {
  return crypto.createHash('sha256').update(fs.readFileSync(ardPath)).digest('hex').slice(0, 12);
}

// Lets the page's downloads go into `folder` (its own browser context's).
export async function allowDownloads(page, folder) {
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior',
    { behavior: 'allow', downloadPath: folder, browserContextId: page.browserContext().id });
}

// The lines of a downloaded score log, unscrambled by ardeno-tool.
export function logLines(file) {
  const txt = file + '.txt';
  tool(['log2txt', file, txt]);
  return fs.readFileSync(txt, 'latin1').split('\r\n');
}

export async function mediaEvents(page) {
  return page.evaluate(() => window.__media.slice());
}

export async function waitFor(fn, timeout = 60000) {
  const until = Date.now() + timeout;
  for (;;) {
    const v = await fn();
    if (v) return v;
    if (Date.now() > until) throw new Error('timed out waiting');
    await new Promise((r) => setTimeout(r, 100));
  }
}
