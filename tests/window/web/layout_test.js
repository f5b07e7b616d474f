// The page against the layout table, in headless Chromium: every control an element with its
// control name as id, in its container, at its place and size in CSS pixels (twips / 15), with
// its caption and its advisory text as tool tip and accessible description; the pictures decoded; the two passage-time
// boxes on top of the Results frame; the state Form_Load leaves.
//   node layout_test.js PAGE.html LAYOUT-TABLE.js WORK-DIR
'use strict';

const {launch, openReady} = require('./browser.js');
const {layoutTable} = require('./tables.js');

// What the page shows of each control, read in the page.
function readPage(names) {
  const shown = {};
  for (const name of names) {
    const e = document.getElementById(name);
    if (!e) {
      continue;
    }
    const box = e.getBoundingClientRect();
    const origin = e.parentElement.getBoundingClientRect();
    const caption = e.querySelector('.caption');
    shown[name] = {
      parent: e.parentElement.id,
      left: box.left - origin.left,
      top: box.top - origin.top,
      width: box.width,
      height: box.height,
      title: e.getAttribute('title'),
      text: caption ? caption.textContent : (e instanceof HTMLInputElement ? e.value : e.textContent),
      loaded: e instanceof HTMLImageElement ? e.complete && e.naturalWidth > 0 : null,
      disabled: e.disabled === true,
    };
  }
  return shown;
}

function topmostAtCentreOf(name) {
  const r = document.getElementById(name).getBoundingClientRect();
  const e = document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2);
  return e ? e.id : null;
}

async function main() {
  const [file, program, work] = process.argv.slice(2);
  const table = layoutTable(program);
  const px = (twips) => Math.floor(twips / table.window.twipsPerPixel);
  const browser = await launch(work);
  const failures = [];
  const expect = (ok, what) => {
    if (!ok) {
      failures.push(what);
    }
  };
  try {
    const {page} = await openReady(browser, file);
    const shown = await page.evaluate(readPage, table.controls.map((c) => c.name));
    expect(await page.title() === table.window.caption, 'page title ' + (await page.title()));
    const win = await page.evaluate((id) => {
      const r = document.getElementById(id).getBoundingClientRect();
      return [r.width, r.height];
    }, table.window.window);
    expect(win[0] === px(table.window.width) && win[1] === px(table.window.height),
           'window size ' + win.join(' x '));

    for (const c of table.controls) {
      const s = shown[c.name];
      if (!s) {
        failures.push(c.name + ': no element');
        continue;
      }
      const where = c.name + ': ';
      expect(s.parent === c.in, where + 'in ' + s.parent + ', not ' + c.in);
      // A line's element is the bounding box of its two end points, one
      // pixel wider and higher.
      const want = c.kind === 'line' ?
          [Math.min(px(c.x1), px(c.x2)), Math.min(px(c.y1), px(c.y2)),
           Math.abs(px(c.x2) - px(c.x1)) + 1, Math.abs(px(c.y2) - px(c.y1)) + 1] :
          [px(c.left), px(c.top), px(c.width), px(c.height)];
      const got = [s.left, s.top, s.width, s.height];
      expect(got.every((v, i) => Math.abs(v - want[i]) < 0.01),
             where + 'at ' + got.join(',') + ', not ' + want.join(','));
      expect(s.title === (c.advisory === '' ? null : c.advisory), where + 'title ' + s.title);
      if (['label', 'button', 'frame'].includes(c.kind)) {
        expect(s.text === c.text, where + 'caption "' + s.text + '"');
      }
      if (c.kind === 'picture box' || c.kind === 'image') {
        expect(s.loaded === true, where + 'picture not shown');
      }
    }

    // The advisory text is also the accessible description (which the browser gives with
    // runs of blanks collapsed, as it does every name and description).
    for (const c of table.controls.filter((c) => c.advisory !== '')) {
      const node = await page.accessibility.snapshot({root: await page.$('#' + c.name)});
      const want = c.advisory.replace(/\s+/g, ' ').trim();
      expect(node && node.description === want,
             c.name + ': description "' + (node && node.description) + '"');
    }

    // Form_Load blanks the input boxes, writes the effective acceleration and disables Compute.
    expect(shown.txtSpd && shown.txtSpd.text === ' ', 'txtSpd after Form_Load "' +
           (shown.txtSpd && shown.txtSpd.text) + '"');
    expect(shown.txtEffAccel && shown.txtEffAccel.text === '.', 'txtEffAccel after Form_Load');
    expect(shown.Command1 && shown.Command1.disabled, 'Compute enabled after Form_Load');
    for (const box of ['txtEntryPass', 'txtExitPass']) {
      const top = await page.evaluate(topmostAtCentreOf, box);
      expect(top === box, box + ' under ' + top);
    }
  } finally {
    await browser.close();
  }
  if (failures.length > 0) {
    console.error('layout: ' + failures.length + ' faults:\n  ' + failures.join('\n  '));
    process.exit(1);
  }
  console.log('layout: all ' + table.controls.length + ' controls as the layout table says');
}

main().catch((e) => {
  console.error('layout: ' + (e && e.stack ? e.stack : e));
  process.exit(1);
});
