// Starts Debian's Chromium, headless, for the page's tests and its benchmark, through
// puppeteer-core (which downloads no browser). Everything Chromium writes, its profile and what
// it puts under a home folder, stays inside the folder `work`, which the caller keeps inside the
// build folder. The flags keep it off the network: this page needs none, and a closed network
// refuses Chromium's own background connections.
'use strict';

const fs = require('fs');
const path = require('path');
const puppeteer = require('puppeteer-core');

const kFlags = [
  '--no-sandbox', // running as root
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

async function launch(work) {
  const home = path.join(work, 'home');
  fs.mkdirSync(home, {recursive: true});
  return puppeteer.launch({
    executablePath: process.env.KORVANE_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: path.join(work, 'profile'),
    env: {
      ...process.env,
      HOME: home,
      XDG_CONFIG_HOME: path.join(home, '.config'),
      XDG_CACHE_HOME: path.join(home, '.cache'),
    },
    args: kFlags,
  });
}

// Opens `file` in a new tab and waits until its root element says data-korvane="ready". Every
// request the page makes beyond the file itself is collected in `requests`, every error it
// reports in `errors`. `before(page)`, when given, runs before the navigation.
async function openReady(browser, file, timeoutMs = 30000, before = null) {
  const page = await browser.newPage();
  if (before) {
    await before(page);
  }
  const url = 'file://' + path.resolve(file);
  const requests = [];
  const errors = [];
  page.on('request', (r) => {
    if (r.url() !== url && !r.url().startsWith('blob:') && !r.url().startsWith('data:')) {
      requests.push(r.url());
    }
  });
  page.on('pageerror', (e) => errors.push(String(e)));
  page.on('console', (m) => {
    if (m.type() === 'error') {
      errors.push(m.text());
    }
  });
  await page.goto(url);
  await page.waitForFunction(
      () => document.documentElement.getAttribute('data-korvane') === 'ready',
      {timeout: timeoutMs});
  return {page, requests, errors};
}

module.exports = {launch, openReady};
