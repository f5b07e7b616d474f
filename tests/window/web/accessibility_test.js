// The page's accessibility in headless Chromium, one check a row:
//   - the browser's accessibility tree (Accessibility.getFullAXTree) presents every control as
//     layout::SpokenOf says (printed by layout_table.cpp): role, name, description, the default
//     button, read-only and unavailable; the lines not at all; the message as a modal dialog
//     named by its title and described by its text;
//   - axe-core finds no violation, with the message closed and open;
//   - in forced colours (emulated over the DevTools protocol, as Windows' high contrast gives
//     them to a page) every text stands out from what lies behind it (contrast 4.5 or more);
//   - at 200 % browser zoom (two device pixels to a CSS pixel in a viewport half as large, which
//     is what zoom does to a page) nothing is clipped: every caption and the example's texts fit
//     their controls, the message fits the view, and the whole window can be scrolled to.
//   node accessibility_test.js PAGE.html LAYOUT-TABLE.js WORK-DIR
'use strict';

const fs = require('fs');
const {launch} = require('./browser.js');
const {Driver} = require('./driver.js');
const {layoutTable} = require('./tables.js');

const kRoles = {
  'editable text': 'textbox',
  'push button': 'button',
  'grouping': 'group',
  'graphic': 'image',
  'static text': 'StaticText',
};

// Names and descriptions as the browser gives them: runs of blanks as one, none at the ends.
const collapsed = (text) => text.replace(/\s+/g, ' ').trim();

async function axTree(d) {
  const {nodes} = await d.cdp.send('Accessibility.getFullAXTree');
  const byId = new Map(nodes.map((n) => [n.nodeId, n]));
  const byDom = new Map(nodes.filter((n) => n.backendDOMNodeId).map((n) => [n.backendDOMNodeId, n]));
  return {nodes, byId, byDom};
}

async function backendId(d, root, selector) {
  const {nodeId} = await d.cdp.send('DOM.querySelector', {nodeId: root, selector});
  const {node} = await d.cdp.send('DOM.describeNode', {nodeId});
  return node.backendNodeId;
}

const property = (node, name) => {
  const p = (node.properties || []).find((p) => p.name === name);
  return p ? p.value.value : undefined;
};

// The node's descendants that are not ignored, itself first.
function shown(tree, node) {
  const out = [];
  const walk = (n) => {
    if (!n) {
      return;
    }
    if (!n.ignored) {
      out.push(n);
    }
    for (const id of n.childIds || []) {
      walk(tree.byId.get(id));
    }
  };
  walk(node);
  return out;
}

async function checkTree(d, table, faults) {
  const {root} = await d.cdp.send('DOM.getDocument', {depth: -1});
  const tree = await axTree(d);
  for (const c of table.controls) {
    const node = tree.byDom.get(await backendId(d, root.nodeId, '#' + c.name));
    const where = c.name + ': ';
    if (c.role === 'none') {
      if (node && shown(tree, node).length > 0) {
        faults.push(where + 'drawing only, but presented as ' + node.role.value);
      }
      continue;
    }
    if (!node) {
      faults.push(where + 'not in the accessibility tree');
      continue;
    }
    const role = kRoles[c.role];
    // A caption is its text; the element around it presents nothing of its own.
    const presented = role === 'StaticText' ?
        shown(tree, node).find((n) => n.role.value === 'StaticText') : node;
    if (!presented || presented.role.value !== role) {
      faults.push(where + 'role ' + (presented ? presented.role.value : 'none') + ', not ' + role);
      continue;
    }
    const name = presented.name ? presented.name.value : '';
    if (name !== collapsed(c.spokenName)) {
      faults.push(where + 'named "' + name + '", not "' + collapsed(c.spokenName) + '"');
    }
    const description = presented.description ? presented.description.value : '';
    if (description !== collapsed(c.description)) {
      faults.push(where + 'described "' + description + '"');
    }
    if ((property(node, 'keyshortcuts') === 'Enter') !== c.isDefault) {
      faults.push(where + 'default button ' + !c.isDefault + ', not ' + c.isDefault);
    }
    if (role === 'textbox' && (property(node, 'readonly') === true) !== c.readOnly) {
      faults.push(where + 'read-only ' + !c.readOnly);
    }
    if (c.unavailable && property(node, 'disabled') !== true) {
      faults.push(where + 'available');
    }
    // A box's value is its text, and every control of the frame is presented inside it.
    const text = c.kind.endsWith('box') || c.kind === 'free text' ?
        await d.value(c.name) : undefined;
    if (text !== undefined && (node.value ? node.value.value : '') !== text) {
      faults.push(where + 'value "' + (node.value && node.value.value) + '", not "' + text + '"');
    }
    if (c.in !== table.window.window) {
      const frame = tree.byDom.get(await backendId(d, root.nodeId, '#' + c.in));
      if (!frame || !shown(tree, frame).includes(presented)) {
        faults.push(where + 'not presented inside ' + c.in);
      }
    }
  }
}

async function checkDialog(d, faults) {
  const tree = await axTree(d);
  const dialog = tree.nodes.find((n) => !n.ignored && n.role.value === 'dialog');
  const message = await d.message();
  if (!dialog || !message) {
    faults.push('message: no dialog in the accessibility tree');
    return;
  }
  if (!dialog.name || dialog.name.value !== 'Range Error' || !dialog.description ||
      dialog.description.value !== message.text || property(dialog, 'modal') !== true) {
    faults.push('message: presented as "' + (dialog.name && dialog.name.value) + '", "' +
                (dialog.description && dialog.description.value) + '", modal ' +
                property(dialog, 'modal'));
  }
}

async function axe(d, faults, when) {
  await d.page.evaluate(fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8'));
  const result = await d.page.evaluate(async () => {
    const r = await window.axe.run(document);
    return r.violations.map((v) => v.id + ' (' + v.nodes.map((n) => n.target.join(' ')).join(', ') + ')');
  });
  faults.push(...result.map((v) => 'axe-core, ' + when + ': ' + v));
}

// Every text of the page against what lies behind it, in the colours the page shows now.
async function contrasts(d) {
  return d.page.evaluate(() => {
    const rgb = (text) => {
      const m = text.match(/rgba?\(([\d.]+), ([\d.]+), ([\d.]+)(?:, ([\d.]+))?\)/);
      return m ? {r: +m[1], g: +m[2], b: +m[3], a: m[4] === undefined ? 1 : +m[4]} : null;
    };
    const luminance = (c) => {
      const f = (v) => (v /= 255) <= 0.04045 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4);
      return 0.2126 * f(c.r) + 0.7152 * f(c.g) + 0.0722 * f(c.b);
    };
    const behind = (e) => {
      for (; e; e = e.parentElement) {
        const c = rgb(getComputedStyle(e).backgroundColor);
        if (c && c.a > 0) {
          return c;
        }
      }
      return {r: 255, g: 255, b: 255};
    };
    const texts = [...document.querySelectorAll('main *, dialog *')].filter((e) =>
        e instanceof HTMLInputElement || e instanceof HTMLButtonElement ||
        [...e.childNodes].some((n) => n.nodeType === Node.TEXT_NODE && n.textContent.trim()));
    return texts.map((e) => {
      const fore = luminance(rgb(getComputedStyle(e).color));
      const back = luminance(behind(e));
      return {id: e.id || e.parentElement.id, ratio: (Math.max(fore, back) + 0.05) /
                                                    (Math.min(fore, back) + 0.05)};
    });
  });
}

// What does not fit: captions and texts wider or higher than their element shows.
async function clipped(d) {
  return d.page.evaluate(() => {
    const out = [];
    for (const e of document.querySelectorAll('main .label, main .caption, main input, main button, dialog *')) {
      if (e.scrollWidth > e.clientWidth + 1 || e.scrollHeight > e.clientHeight + 1) {
        out.push((e.id || e.tagName) + ' ' + e.scrollWidth + 'x' + e.scrollHeight + ' in ' +
                 e.clientWidth + 'x' + e.clientHeight);
      }
    }
    const dialog = document.getElementById('message');
    if (dialog && dialog.open) {
      const r = dialog.getBoundingClientRect();
      if (r.left < 0 || r.top < 0 || r.right > innerWidth || r.bottom > innerHeight) {
        out.push('the message outside the view');
      }
    }
    const w = document.querySelector('main').getBoundingClientRect();
    const page = document.documentElement;
    if (page.scrollWidth < w.right + scrollX || page.scrollHeight < w.bottom + scrollY) {
      out.push('the window cannot be scrolled to in full');
    }
    return out;
  });
}

async function openMessage(d) {
  for (const [box, text] of [['txtSpd', '22'], ['txtAccel', '0.5'], ['txtLength', '65'],
                             ['txtEntryPos', '11'], ['txtExitPos', '77'], ['txtSpd', '50']]) {
    await d.retype(box, text);
  }
  await d.press('Tab');
  await d.settle();
}

async function main() {
  const [file, program, work] = process.argv.slice(2);
  const table = layoutTable(program);
  const browser = await launch(work);
  const faults = [];
  try {
    const d = await Driver.open(browser, file);
    await checkTree(d, table, faults);
    await axe(d, faults, 'at start');
    await openMessage(d);
    await checkDialog(d, faults);
    await axe(d, faults, 'with the message open');
    await d.press('Enter');
    await d.settle();

    // Forced colours in a light and in a dark scheme (Chromium takes its system colours for them
    // from the colour scheme asked for).
    for (const scheme of ['light', 'dark']) {
      await d.cdp.send('Emulation.setEmulatedMedia', {features: [
        {name: 'forced-colors', value: 'active'}, {name: 'prefers-color-scheme', value: scheme}]});
      if (!await d.page.evaluate(() => matchMedia('(forced-colors: active)').matches)) {
        faults.push('forced colours: not in effect');
      }
      const poor = (await contrasts(d)).filter((c) => c.ratio < 4.5);
      faults.push(...poor.map((c) => 'forced colours, ' + scheme + ': ' + c.id + ' at contrast ' +
                                     c.ratio.toFixed(2)));
      await d.page.screenshot({path: work + '/forced-colours-' + scheme + '.png'});
    }
    await d.cdp.send('Emulation.setEmulatedMedia', {features: []});
    const plain = (await contrasts(d)).filter((c) => c.ratio < 4.5);
    faults.push(...plain.map((c) => 'colours: ' + c.id + ' at contrast ' + c.ratio.toFixed(2)));
    await d.page.close();

    for (const zoom of [1, 2]) {
      const z = await Driver.open(browser, file);
      await z.page.setViewport({width: 1280 / zoom, height: 720 / zoom, deviceScaleFactor: zoom});
      await openMessage(z);
      faults.push(...(await clipped(z)).map((c) => 'at ' + zoom * 100 + ' %: ' + c + ' clipped'));
      await z.page.screenshot({path: work + '/zoom-' + zoom * 100 + '.png', fullPage: true});
      await z.page.close();
    }
  } finally {
    await browser.close();
  }
  if (faults.length > 0) {
    console.error('accessibility: ' + faults.length + ' faults:\n  ' + faults.join('\n  '));
    process.exit(1);
  }
  console.log('accessibility: every control presented as the shared rules say, no axe-core ' +
              'violation, readable in forced colours, nothing clipped at 200 %');
}

main().catch((e) => {
  console.error('accessibility: ' + (e && e.stack ? e.stack : e));
  process.exit(1);
});
