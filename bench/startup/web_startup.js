// Navigation to ready of Korvane's page against a bare page with one text box, both opened from
// disk in the same headless Chromium, alternating; and the size of each file.
//   node web_startup.js KORVANE.html MINIMAL.html RUNS WORK-DIR
// "Ready" is the moment the page sets data-korvane="ready" on its root element, read inside the
// page by a mutation observer installed before any of its scripts runs, in milliseconds since
// the navigation began (performance.now()). Each run opens a new tab.
'use strict';

const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const {launch} = require('../../tests/window/web/browser.js');

async function timeToReady(browser, file) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    new MutationObserver(() => {
      if (document.documentElement.getAttribute('data-korvane') === 'ready' &&
          window.korvaneReadyAt === undefined) {
        window.korvaneReadyAt = performance.now();
      }
    }).observe(document, {attributes: true, subtree: true, attributeFilter: ['data-korvane']});
  });
  await page.goto('file://' + path.resolve(file));
  await page.waitForFunction(() => window.korvaneReadyAt !== undefined, {timeout: 30000});
  const readyAt = await page.evaluate(() => window.korvaneReadyAt);
  await page.close();
  return readyAt;
}

function sizes(file) {
  const bytes = fs.readFileSync(file);
  const text = bytes.toString('latin1');
  const marker = 'data:application/octet-stream;base64,';
  const at = text.indexOf(marker + 'AGFzbQ'); // the module: "\0asm" in base64
  let wasm = 0;
  if (at >= 0) {
    const base64 = text.slice(at + marker.length).match(/^[A-Za-z0-9+/=]*/)[0];
    wasm = Buffer.from(base64, 'base64').length;
  }
  return {file: bytes.length, gzip: zlib.gzipSync(bytes, {level: 9}).length, wasm};
}

function median(values) {
  const s = [...values].sort((a, b) => a - b);
  const m = Math.floor(s.length / 2);
  return s.length % 2 ? s[m] : (s[m - 1] + s[m]) / 2;
}

async function main() {
  const [korvane, minimal, runsText, work] = process.argv.slice(2);
  const runs = Number(runsText || 11);
  const browser = await launch(work);
  const times = {korvane: [], minimal: []};
  try {
    await timeToReady(browser, minimal); // warm-up, not counted
    await timeToReady(browser, korvane);
    for (let i = 0; i < runs; ++i) {
      times.minimal.push(await timeToReady(browser, minimal));
      times.korvane.push(await timeToReady(browser, korvane));
    }
  } finally {
    await browser.close();
  }
  const k = sizes(korvane);
  const m = sizes(minimal);
  const pad = (s, n) => String(s).padStart(n);
  console.log('runs: ' + runs + ' per page, alternating; ' + (await chromiumVersion()));
  console.log(pad('', 26) + pad('minimal', 10) + pad('korvane', 10) + pad('ratio', 8));
  const row = (name, a, b) => console.log(
      pad(name, 26) + pad(a.toFixed(1), 10) + pad(b.toFixed(1), 10) + pad((b / a).toFixed(2), 8));
  row('median ready (ms)', median(times.minimal), median(times.korvane));
  row('fastest ready (ms)', Math.min(...times.minimal), Math.min(...times.korvane));
  row('slowest ready (ms)', Math.max(...times.minimal), Math.max(...times.korvane));
  console.log(pad('file (bytes)', 26) + pad(m.file, 10) + pad(k.file, 10));
  console.log(pad('file gzipped (bytes)', 26) + pad(m.gzip, 10) + pad(k.gzip, 10));
  console.log(pad('WebAssembly inside (bytes)', 26) + pad(m.wasm, 10) + pad(k.wasm, 10));
  console.log('all runs (ms), minimal: ' + times.minimal.map((t) => t.toFixed(1)).join(' '));
  console.log('all runs (ms), korvane: ' + times.korvane.map((t) => t.toFixed(1)).join(' '));
}

async function chromiumVersion() {
  const {execFileSync} = require('child_process');
  try {
    return execFileSync(process.env.KORVANE_CHROMIUM || '/usr/bin/chromium', ['--version'])
        .toString().trim();
  } catch (e) {
    return 'chromium';
  }
}

main().catch((e) => {
  console.error('web_startup: ' + (e && e.stack ? e.stack : e));
  process.exit(1);
});
