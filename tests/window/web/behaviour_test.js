// The page's behaviour with the browser's own input, one row a case, each in a new page, the
// expected texts as the window shows them: the worked example by mouse and by keys alone, the
// keystroke filter and its beep, control keys, pastes by key, by a paste that no key types and
// by a drop (a text with line breaks keeps its first line), input-method compositions, a touch
// keyboard's text, "Range Error" and where the focus goes after it, clicks that leave the focus
// where it was, Enter and Escape, the Tab ring with Compute disabled and enabled, and the
// browser's own keys left to the browser.
//   node behaviour_test.js PAGE.html LAYOUT-TABLE.js WORK-DIR
'use strict';

const {launch} = require('./browser.js');
const {Driver} = require('./driver.js');
const {layoutTable} = require('./tables.js');

const kExample = [['txtSpd', '22'], ['txtAccel', '0.5'], ['txtLength', '65'],
                  ['txtEntryPos', '11'], ['txtExitPos', '77']];
const kSpeed50 = 'Entered Value of 50 is outside of the range 5 to 35';
const kFiltered = ['txtSpd', 'txtAccel', 'txtLength', 'txtEntryPos', 'txtExitPos'];

async function example(d) {
  for (const [box, text] of kExample) {
    await d.retype(box, text);
  }
}

// Presses the key and says whether the page kept the browser from acting on it.
async function keptFromBrowser(d, chord) {
  const key = chord.split('+').pop();
  await d.page.evaluate((key) => {
    window.korvaneTaken = null;
    const seen = (e) => {
      if (e.key.toLowerCase() === key.toLowerCase()) {
        window.korvaneTaken = e.defaultPrevented;
        window.removeEventListener('keydown', seen);
      }
    };
    window.addEventListener('keydown', seen);
  }, key);
  await d.press(chord);
  return d.page.evaluate(() => window.korvaneTaken);
}

// The rows: what the user does, then what the window shows. `values` are box texts; `focus`
// the control with the focus; `beeps` the tones sounded; `messages` the texts of the messages
// that came, each answered with OK.
function rows(table) {
  const list = [
    {name: 'the worked example by mouse and keys, Compute clicked',
     run: async (d) => { await example(d); await d.click('Command1'); },
     values: {txtEntryPass: '16.5', txtExitPass: '23.6', txtEffAccel: '.5', txtGrade: ' '},
     focus: 'Command1', beeps: 0},
    {name: 'the worked example by keys alone: Tab selects each box, Enter computes',
     run: async (d) => {
       for (const [box, text] of kExample) {
         for (let i = 0; i < 12 && await d.focus() !== box; ++i) {
           await d.press('Tab');
           await d.settle();
         }
         await d.type(text);
       }
       await d.press('Enter');
     },
     values: {txtEntryPass: '16.5', txtExitPass: '23.6', txtSpd: '22', txtExitPos: '77'},
     focus: 'txtExitPos', beeps: 0},
    {name: 'Compute acts on the release over it: a press released elsewhere computes nothing',
     run: async (d) => {
       await example(d);
       const at = await d.centreOf('Command1');
       await d.page.mouse.move(at.x, at.y);
       await d.page.mouse.down();
       await d.page.mouse.move(at.x - 60, at.y - 60);
       await d.page.mouse.up();
       const after = await d.value('txtEntryPass');
       await d.click('Command1');
       return after;
     },
     result: ' ', values: {txtEntryPass: '16.5', txtExitPass: '23.6'}, focus: 'Command1'},
    {name: 'Enter computes with an out-of-range speed and checks no box',
     run: async (d) => { await example(d); await d.retype('txtSpd', '-22'); await d.press('Enter'); },
     values: {txtEntryPass: '15.', txtExitPass: '20.7', txtSpd: '-22'}, focus: 'txtSpd',
     beeps: 0, computeDisabled: false},
    {name: 'Escape changes nothing',
     run: async (d) => { await example(d); await d.press('Escape'); },
     values: {txtEntryPass: ' ', txtSpd: '22', txtExitPos: '77'}, focus: 'txtExitPos', beeps: 0},
    {name: 'Range Error on leaving a box by Tab, the focus where Tab sent it',
     run: async (d) => { await d.retype('txtSpd', '50'); await d.press('Tab'); },
     messages: [kSpeed50], focus: 'txtExitPass', computeDisabled: true},
    {name: 'Range Error on leaving a box by a click into another; that one keeps the focus',
     run: async (d) => { await example(d); await d.retype('txtSpd', '50'); await d.click('txtGrade'); },
     messages: [kSpeed50], focus: 'txtGrade', computeDisabled: true},
    {name: 'Range Error on a click on Compute: no computation, the focus goes on',
     run: async (d) => { await example(d); await d.retype('txtSpd', '50'); await d.click('Command1'); },
     messages: [kSpeed50], focus: 'txtEntryPass', values: {txtEntryPass: ' '},
     computeDisabled: true},
    {name: 'the message dismissed by Escape and by a click on OK, the focus where Tab sent it',
     run: async (d) => {
       const seen = [];
       for (const dismiss of [() => d.press('Escape'), () => d.click('message-ok')]) {
         await d.retype('txtSpd', '50');
         await d.press('Tab');
         await d.settle();
         const m = await d.message();
         seen.push(m && m.text, m && m.focus);
         await dismiss();
         await d.settle();
         seen.push(await d.focus());
       }
       return seen;
     },
     result: [kSpeed50, 'message-ok', 'txtExitPass', kSpeed50, 'message-ok', 'txtExitPass'],
     messages: []},
    {name: 'Range Error on a click on Compute that the browser gives no focus (as Safari does)',
     run: async (d) => {
       await example(d);
       await d.retype('txtSpd', '50');
       await d.page.$eval('#Command1', (b) => b.click());
     },
     messages: [kSpeed50], focus: 'txtEntryPass', values: {txtEntryPass: ' '},
     computeDisabled: true},
    {name: 'a space and a Ctrl+V refused in a filtered box, each with a beep',
     run: async (d) => {
       await d.copy('12');
       await d.retype('txtLength', '6');
       await d.press(' ');
       await d.press('Control+v');
     },
     values: {txtLength: '6'}, beeps: 2},
    {name: 'Ctrl+V pastes in the grade box',
     run: async (d) => { await d.copy('12'); await d.retype('txtGrade', '6'); await d.press('Control+v'); },
     values: {txtGrade: '612'}, beeps: 0},
    {name: 'Ctrl+Backspace refused in a filtered box, deletes in the grade box',
     run: async (d) => {
       await d.retype('txtLength', '60');
       await d.press('Control+Backspace');
       await d.retype('txtGrade', '7');
       await d.press('Control+Backspace');
     },
     values: {txtLength: '60', txtGrade: ''}, beeps: 1, messages: []},
    {name: 'Ctrl+A refused in a filtered box: typing goes on after the text',
     run: async (d) => { await d.retype('txtEntryPos', '1'); await d.press('Control+a'); await d.type('2'); },
     values: {txtEntryPos: '12'}, beeps: 1},
    {name: 'a paste that no key types (Shift+Insert, the context menu\'s) passes the filter',
     run: async (d) => { await d.copy('1a'); await d.retype('txtSpd', '2'); await d.press('Shift+Insert'); },
     values: {txtSpd: '21a'}, beeps: 0, focus: 'txtSpd'},
    {name: 'a pasted text keeps its first line, LF or CRLF',
     run: async (d) => {
       await d.copy('3\n4');
       await d.retype('txtGrade', '');
       await d.press('Shift+Insert');
       await d.copy('56\r\n78');
       await d.retype('txtLocation', 'x');
       await d.press('Control+v');
     },
     values: {txtGrade: '3', txtLocation: 'x56'}, beeps: 0, messages: []},
    {name: 'a dropped text passes the filter and keeps its first line',
     run: async (d) => { await d.drop('txtLength', '9a\n8'); },
     values: {txtLength: ' 9a'}, beeps: 0, focus: 'txtLength'},
    {name: 'a composed "1a" gives "1" and one beep in a filtered box',
     run: async (d) => { await d.retype('txtSpd', '2'); await d.compose('1a'); },
     values: {txtSpd: '21'}, beeps: 1},
    {name: 'a composed "1a" enters the grade box whole',
     run: async (d) => { await d.retype('txtGrade', '2'); await d.compose('1a'); },
     values: {txtGrade: '21a'}, beeps: 0},
    {name: 'a composition enables Compute once committed',
     run: async (d) => { await example(d); await d.retype('txtSpd', ''); await d.compose('22'); },
     values: {txtSpd: '22'}, beeps: 0, computeDisabled: false},
    {name: 'a touch keyboard\'s text, with no key codes, passes the filter as a paste does',
     run: async (d) => { await d.retype('txtSpd', '2'); await d.insert('1a'); },
     values: {txtSpd: '21a'}, beeps: 0},
    {name: 'letters and other layouts\' keys refused in a filtered box, kept in a free one',
     run: async (d) => {
       await d.retype('txtAccel', '1a\u00f8\u{1F600}.5');
       await d.retype('txtLocation', 'L\u00f8kken \u{1F600}');
     },
     values: {txtAccel: '1.5', txtLocation: 'L\u00f8kken \u{1F600}'}, beeps: 4},
    {name: 'a long text enters a box whole',
     run: async (d) => { await d.click('txtDirection'); await d.insert('7'.repeat(100000)); },
     values: {txtDirection: '7'.repeat(100000)}, beeps: 0},
    {name: 'the browser\'s own keys stay the browser\'s: F6, Ctrl+L, Alt+D, Ctrl+F',
     run: async (d) => {
       await d.retype('txtSpd', '5');
       const taken = [];
       for (const chord of ['F6', 'Control+l', 'Alt+d', 'Control+f']) {
         taken.push(await keptFromBrowser(d, chord));
       }
       return taken;
     },
     result: [false, false, false, false], values: {txtSpd: '5'}, beeps: 0},
    {name: 'Tab, Enter and Escape are the window\'s',
     run: async (d) => {
       const taken = [];
       for (const chord of ['Tab', 'Shift+Tab', 'Enter', 'Escape']) {
         taken.push(await keptFromBrowser(d, chord));
       }
       return taken;
     },
     result: [true, true, true, true]},
  ];
  // A press on what takes no focus leaves it in the box, which therefore keeps its range check
  // for later: no message.
  for (const c of table.controls.filter((c) => !c.takesFocus && c.kind !== 'line')) {
    list.push({name: 'a click on ' + c.name + ' (' + c.kind + ') leaves the focus in the box',
               run: async (d) => { await d.retype('txtSpd', '50'); await d.clickOwn(c.name); },
               focus: 'txtSpd', messages: []});
  }
  list.push({name: 'a click on a disabled Compute leaves the focus in the box',
             run: async (d) => { await d.retype('txtSpd', '50'); await d.click('Command1'); },
             focus: 'txtSpd', messages: [], computeDisabled: true});
  list.push({name: 'a click on the window\'s own surface leaves the focus in the box',
             run: async (d) => {
               await d.retype('txtSpd', '50');
               const r = await d.page.$eval('#' + table.window.window,
                                            (e) => e.getBoundingClientRect().toJSON());
               await d.page.mouse.click(r.left + 3, r.top + 3);
             },
             focus: 'txtSpd', messages: []});
  // The Tab ring, forwards and backwards, from the first stop, without and with Compute.
  for (const enabled of [false, true]) {
    const ring = table.tabRing.filter((name) => enabled || name !== 'Command1');
    const forwards = [...ring.slice(1), ring[0]];
    const backwards = [...ring].reverse();
    list.push({name: 'the Tab ring with Compute ' + (enabled ? 'enabled' : 'disabled'),
               run: async (d) => {
                 if (enabled) {
                   await example(d);
                 }
                 await d.click(ring[0]);
                 const walked = [];
                 for (const chord of [...forwards.map(() => 'Tab'),
                                      ...backwards.map(() => 'Shift+Tab')]) {
                   await d.press(chord);
                   await d.settle();
                   walked.push(await d.focus());
                 }
                 return walked;
               },
               result: [...forwards, ...backwards],
               messages: [], computeDisabled: !enabled});
  }
  return list;
}

async function check(browser, file, row) {
  const d = await Driver.open(browser, file);
  const faults = [];
  try {
    const result = await row.run(d);
    await d.settle();
    const messages = [];
    for (let m = await d.message(); m && messages.length < 4; m = await d.message()) {
      messages.push(m.text);
      if (m.title !== 'Range Error' || !m.modal || m.focus !== 'message-ok') {
        faults.push('message "' + m.title + '", modal ' + m.modal + ', focus on ' + m.focus);
      }
      await d.press('Enter');
      await d.settle();
    }
    const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);
    if (row.result !== undefined && !same(result, row.result)) {
      faults.push('gave ' + JSON.stringify(result) + ', not ' + JSON.stringify(row.result));
    }
    if (row.messages !== undefined && !same(messages, row.messages)) {
      faults.push('messages ' + JSON.stringify(messages) + ', not ' + JSON.stringify(row.messages));
    }
    for (const [box, want] of Object.entries(row.values || {})) {
      const got = await d.value(box);
      if (got !== want) {
        faults.push(box + ' "' + got.slice(0, 40) + '", not "' + want.slice(0, 40) + '"');
      }
    }
    if (row.focus !== undefined && await d.focus() !== row.focus) {
      faults.push('the focus on "' + await d.focus() + '", not "' + row.focus + '"');
    }
    if (row.beeps !== undefined && await d.beeps() !== row.beeps) {
      faults.push(await d.beeps() + ' beeps, not ' + row.beeps);
    }
    if (row.computeDisabled !== undefined && await d.disabled('Command1') !== row.computeDisabled) {
      faults.push('Compute ' + (row.computeDisabled ? 'enabled' : 'disabled'));
    }
    faults.push(...d.errors.map((e) => 'page error ' + e));
  } finally {
    await d.page.close();
  }
  return faults.map((f) => row.name + ': ' + f);
}

async function main() {
  const [file, program, work] = process.argv.slice(2);
  const table = layoutTable(program);
  const browser = await launch(work);
  const failures = [];
  let count = 0;
  try {
    for (const row of rows(table)) {
      failures.push(...await check(browser, file, row));
      ++count;
    }
  } finally {
    await browser.close();
  }
  if (failures.length > 0) {
    console.error('behaviour: ' + failures.length + ' faults:\n  ' + failures.join('\n  '));
    process.exit(1);
  }
  console.log('behaviour: all ' + count + ' cases as the window behaves');
}

main().catch((e) => {
  console.error('behaviour: ' + (e && e.stack ? e.stack : e));
  process.exit(1);
});
