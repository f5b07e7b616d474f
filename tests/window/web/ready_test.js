// The page opened from disk in headless Chromium: it reaches data-korvane="ready", makes no
// request beyond its own file and reports no error.
//   node ready_test.js PAGE.html WORK-DIR
'use strict';

const {launch, openReady} = require('./browser.js');

async function main() {
  const [file, work] = process.argv.slice(2);
  const browser = await launch(work);
  try {
    const {page, requests, errors} = await openReady(browser, file);
    const controls = await page.evaluate(() => document.querySelectorAll('main [id]').length);
    const failures = [];
    if (requests.length > 0) {
      failures.push('requests beyond the page: ' + requests.join(', '));
    }
    if (errors.length > 0) {
      failures.push('errors: ' + errors.join(' | '));
    }
    if (failures.length > 0) {
      throw new Error(failures.join('\n'));
    }
    console.log('ready: ' + file + ' is ready with ' + controls + ' elements named in its window');
  } finally {
    await browser.close();
  }
}

main().catch((e) => {
  console.error('ready: ' + (e && e.stack ? e.stack : e));
  process.exit(1);
});
