// Drives the page in headless Chromium as a user does, with the browser's own input: mouse
// presses and clicks at a control's place, keys as a keyboard sends them (a character that
// puppeteer's US layout lacks as the key of a layout that has it), input-method compositions,
// text from a touch keyboard that sends no key codes, drops; and reads what the page shows:
// the focus, the boxes, the message, the beeps (calls that start a WebAudio tone).
'use strict';

const {openReady} = require('./browser.js');

// Keys puppeteer's US layout has, by the character they type.
const kLayoutKeys = new Set(
    Array.from({length: 95}, (_, i) => String.fromCharCode(32 + i)).filter((c) => c !== ' '));

class Driver {
  static async open(browser, file) {
    const opened = await openReady(browser, file, 30000, (page) => page.evaluateOnNewDocument(() => {
      window.korvaneBeeps = 0;
      const start = OscillatorNode.prototype.start;
      OscillatorNode.prototype.start = function (...args) {
        window.korvaneBeeps += 1;
        return start.apply(this, args);
      };
    }));
    const driver = new Driver(opened.page, opened.errors);
    driver.cdp = await opened.page.target().createCDPSession();
    return driver;
  }

  constructor(page, errors) {
    this.page = page;
    this.errors = errors;
  }

  // Lets the page finish what the last input started: the focus reports it defers.
  async settle() {
    await this.page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 20)));
  }

  async centreOf(id) {
    return this.page.evaluate((id) => {
      const r = document.getElementById(id).getBoundingClientRect();
      return {x: r.left + r.width / 2, y: r.top + r.height / 2};
    }, id);
  }

  // A left click at the middle of the control, whatever lies there.
  async click(id) {
    const at = await this.centreOf(id);
    await this.page.mouse.click(at.x, at.y);
  }

  // A left click at a point of the control that no other control covers.
  async clickOwn(id) {
    const at = await this.page.evaluate((id) => {
      const e = document.getElementById(id);
      const r = e.getBoundingClientRect();
      for (let y = r.top + 1; y < r.bottom; y += 2) {
        for (let x = r.left + 1; x < r.right; x += 2) {
          const hit = document.elementFromPoint(x, y);
          if (hit && hit.closest('[id]') && hit.closest('[id]').id === id) {
            return {x, y};
          }
        }
      }
      return {x: r.left + r.width / 2, y: r.top + r.height / 2};
    }, id);
    await this.page.mouse.click(at.x, at.y);
  }

  // "Shift+Tab", "Control+v", "Enter": the modifiers held while the last key is pressed.
  async press(chord) {
    const keys = chord === '+' ? ['+'] : chord.split('+');
    const key = keys.pop();
    for (const modifier of keys) {
      await this.page.keyboard.down(modifier);
    }
    await this.page.keyboard.press(key === ' ' ? 'Space' : key);
    for (const modifier of keys.reverse()) {
      await this.page.keyboard.up(modifier);
    }
  }

  // Types the text key by key; a character beyond puppeteer's layout as the key of another
  // keyboard layout that has it (its name is the character, and it types it).
  async type(text) {
    for (const c of text) {
      if (kLayoutKeys.has(c) || c === ' ') {
        await this.page.keyboard.press(c === ' ' ? 'Space' : c);
      } else {
        for (const type of ['keyDown', 'keyUp']) {
          await this.cdp.send('Input.dispatchKeyEvent',
                              {type, key: c, text: type === 'keyDown' ? c : undefined});
        }
      }
    }
  }

  // Clicks into the box, empties it and types the text.
  async retype(id, text) {
    await this.click(id);
    await this.settle();
    await this.press('End');
    await this.press('Shift+Home');
    await this.press('Delete');
    await this.type(text);
    await this.settle();
  }

  // An input method composes the text and commits it.
  async compose(text) {
    await this.cdp.send('Input.imeSetComposition',
                        {text, selectionStart: text.length, selectionEnd: text.length});
    await this.cdp.send('Input.insertText', {text});
  }

  // Text inserted with no key: a touch keyboard that sends no key codes.
  async insert(text) {
    await this.cdp.send('Input.insertText', {text});
  }

  // Text dropped onto the middle of a control.
  async drop(id, text) {
    const at = await this.centreOf(id);
    const data = {items: [{mimeType: 'text/plain', data: text}], dragOperationsMask: 1};
    for (const type of ['dragEnter', 'dragOver', 'drop']) {
      await this.cdp.send('Input.dispatchDragEvent', {type, x: at.x, y: at.y, data});
    }
  }

  // Puts text on the clipboard as a user does: selects it in a text field outside the window
  // and copies it with Ctrl+C; the focus is then on that field.
  async copy(text) {
    await this.page.evaluate((text) => {
      let area = document.getElementById('test-clipboard');
      if (!area) {
        area = document.createElement('textarea');
        area.id = 'test-clipboard';
        document.body.appendChild(area);
      }
      area.value = text;
      area.focus();
      area.select();
    }, text);
    await this.press('Control+c');
  }

  async focus() {
    return this.page.evaluate(() => document.activeElement ? document.activeElement.id : '');
  }

  async value(id) {
    return this.page.$eval('#' + id, (e) => e.value);
  }

  async disabled(id) {
    return this.page.$eval('#' + id, (e) => e.disabled);
  }

  async beeps() {
    return this.page.evaluate(() => window.korvaneBeeps);
  }

  // The open message, or null.
  async message() {
    return this.page.evaluate(() => {
      const d = document.getElementById('message');
      if (!d || !d.open) {
        return null;
      }
      const by = (attribute) => document.getElementById(d.getAttribute(attribute));
      return {
        title: by('aria-labelledby') ? by('aria-labelledby').textContent : null,
        text: by('aria-describedby') ? by('aria-describedby').textContent : null,
        modal: d.matches(':modal'),
        focus: document.activeElement ? document.activeElement.id : '',
      };
    });
  }
}

module.exports = {Driver};
