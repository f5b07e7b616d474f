// The user sessions that both desktop windows play (tests/window/sessions/focus_sessions.h,
// printed by sessions_table.cpp), played on the page in headless Chromium with the browser's
// own mouse and keys: after every step the focus must be on the control the table names, and
// every message the table names must have come, no other. Each message is answered with OK as
// soon as it shows; it must have the focus on its OK button while it is open.
//   node sessions_test.js PAGE.html SESSIONS-TABLE.js WORK-DIR
'use strict';

const {launch} = require('./browser.js');
const {Driver} = require('./driver.js');
const {sessionsTable} = require('./tables.js');

// Answers every message that has come; returns them.
async function answer(driver, failures, where) {
  await driver.settle();
  const seen = [];
  for (let message = await driver.message(); message && seen.length < 4;
       message = await driver.message()) {
    seen.push(message);
    if (message.focus !== 'message-ok' || !message.modal) {
      failures.push(where + ': the message is open with the focus on "' + message.focus + '"' +
                    (message.modal ? '' : ', not modal'));
    }
    await driver.press('Enter');
    await driver.settle();
  }
  return seen;
}

// Plays one step, answering each message as soon as it shows, as the desktop tests do;
// returns the messages.
async function act(driver, step, failures, where) {
  const seen = [];
  if (['type', 'keys', 'click'].includes(step.act)) {
    await driver.click(step.control);
    seen.push(...await answer(driver, failures, where));
  }
  if (step.act === 'type') {
    await driver.press('End');
    await driver.press('Shift+Home');
    await driver.press('Delete');
  } else if (step.act === 'keys') {
    await driver.press('End');
  }
  if (step.act === 'key') {
    await driver.press(step.key);
  } else if (step.act !== 'click') {
    await driver.type(step.text);
  }
  seen.push(...await answer(driver, failures, where));
  return seen;
}

async function play(browser, file, session, failures) {
  const driver = await Driver.open(browser, file);
  try {
    for (const [i, step] of session.steps.entries()) {
      const where = session.name + ', step ' + (i + 1) + ' (' + step.act + ' ' +
                    (step.control || step.key || '') + ' ' + step.text + ')';
      const seen = await act(driver, step, failures, where);
      const want = step.message ? [step.message] : [];
      const got = seen.map((m) => m.text);
      if (JSON.stringify(got) !== JSON.stringify(want)) {
        failures.push(where + ': messages ' + JSON.stringify(got) + ', not ' + JSON.stringify(want));
      }
      for (const m of seen.filter((m) => m.title !== 'Range Error')) {
        failures.push(where + ': a message titled "' + m.title + '"');
      }
      const focus = await driver.focus();
      if (focus !== step.focus) {
        failures.push(where + ': the focus is on "' + focus + '", not "' + step.focus + '"');
        return; // the steps after it would all be off
      }
    }
    for (const e of driver.errors) {
      failures.push(session.name + ': page error ' + e);
    }
  } finally {
    await driver.page.close();
  }
}

async function main() {
  const [file, program, work] = process.argv.slice(2);
  const sessions = sessionsTable(program);
  const browser = await launch(work);
  const failures = [];
  try {
    for (const session of sessions) {
      await play(browser, file, session, failures);
    }
  } finally {
    await browser.close();
  }
  if (failures.length > 0) {
    console.error('sessions: ' + failures.length + ' faults:\n  ' + failures.join('\n  '));
    process.exit(1);
  }
  const steps = sessions.reduce((n, s) => n + s.steps.length, 0);
  console.log('sessions: all ' + sessions.length + ' sessions (' + steps +
              ' steps) as both desktop windows play them');
}

main().catch((e) => {
  console.error('sessions: ' + (e && e.stack ? e.stack : e));
  process.exit(1);
});
