// The tables the page's browser tests compare the page with, printed as JSON by programs of
// the same sources as the page (layout_table.cpp, sessions_table.cpp), run under node.
'use strict';

const {execFileSync} = require('child_process');

function linesOf(program) {
  return execFileSync(process.execPath, ['--no-experimental-fetch', program])
      .toString().trim().split('\n').map((l) => JSON.parse(l));
}

// {window, controls, tabRing}: the window, every control and line, the stops of the Tab ring.
function layoutTable(program) {
  const lines = linesOf(program);
  return {
    window: lines[0],
    controls: lines.slice(1, -1),
    tabRing: lines[lines.length - 1].tabRing,
  };
}

// The user sessions of tests/window/sessions/focus_sessions.h: [{name, steps}].
function sessionsTable(program) {
  return linesOf(program);
}

module.exports = {layoutTable, sessionsTable};
