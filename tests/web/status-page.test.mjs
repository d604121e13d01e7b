// The service's own page for IT staff at the desk: it shows what the desk
// directory holds and who may call the service, and its buttons read cards.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';

import { launchChromium, PAGE_TIMEOUT_MS } from './browser.mjs';
import { LOGIN_INI_REAL_CARD, openDesk } from './desk.mjs';

const HIS_ORIGIN = 'https://his.hospital.example';
const NAME_GBK = Buffer.from([0xd5, 0xc5, 0xc8, 0xfd]); // 张三
const NUMBER = 'C24681357';
const RECORD = Buffer.concat([Buffer.from(`330300|330304197705053333|${NUMBER}|330300D15600000C24681357|`),
  NAME_GBK, Buffer.from('|3B6E|3.00|20190101|20290101|00000009|SIM00009|')]);
const TRACK = '123456780000123456=009633791987654321';

let browser;
let desk;
let page;
const pageErrors = [];

before(async () => {
  desk = await openDesk({ origins: [HIS_ORIGIN] });
  desk.setDriverAnswer(0, RECORD);
  browser = await launchChromium();
  page = await browser.newPage();
  page.setDefaultTimeout(PAGE_TIMEOUT_MS);
  page.on('pageerror', (error) => pageErrors.push(error.message));
  await page.goto(`${desk.url}/`);
  await page.waitForFunction(() => Number(document.body.dataset.refreshes) > 0 &&
    document.body.dataset.refreshing === '0');
});

after(async () => {
  await browser?.close();
  await desk?.stop();
  desk?.dispose();
});

const text = (id) => page.locator(`#${id}`).textContent();
const className = (id) => page.locator(`#${id}`).getAttribute('class');

// Waits until no refresh of the page is under way.
const settled = () => page.waitForFunction(() => document.body.dataset.refreshing === '0');

// Clicks the refresh button and waits until that refresh has finished, so
// that the page shows what the service said after the click.
async function refreshed() {
  await settled();
  const count = Number(await page.locator('body').getAttribute('data-refreshes'));
  await page.click('#refresh');
  await page.waitForFunction((old) => Number(document.body.dataset.refreshes) > old &&
    document.body.dataset.refreshing === '0', count);
}

// Clicks a read button and waits for its answer to settle.
async function read(button, answer) {
  await page.click(`#${button}`);
  const element = page.locator(`#${answer}`);
  await page.waitForFunction((id) => {
    const state = document.getElementById(id).dataset.state;
    return state !== undefined && state !== 'pending';
  }, answer);
  // The read ends with a refresh of the page (its log lines).
  await settled();
  return { state: await element.getAttribute('data-state'), text: await element.textContent() };
}

describe('the status page', () => {
  it('loads in Chinese and shows the version and the desk', async () => {
    assert.equal(await page.locator('html').getAttribute('lang'), 'zh-CN');
    assert.match(await page.title(), /读卡服务/);
    const { body: status } = await desk.get('/v1/status');
    const { body: deskState } = await desk.get('/v1/desk');
    assert.equal(await text('version'), String(status.version));
    assert.equal(await text('directory'), deskState.directory);
    const files = [
      ['library', deskState.library.file], ['driver', desk.driverName], ['login-ini', 'Login.ini'],
    ];
    for (const [id, file] of files) {
      assert.ok((await text(id)).includes(file), `${id} names ${file}`);
      assert.equal(await className(id), 'good', `${id} is there`);
    }
    assert.equal(await text('virtual-card'), '未开启');
    assert.deepEqual(await page.locator('#origins code').allTextContents(), deskState.origins);
    assert.ok(deskState.origins.includes(HIS_ORIGIN));
    assert.equal(await text('problem'), '');
    assert.equal(await text('busy'), '空闲');
  });

  it('reads each card with its buttons', async () => {
    await page.fill('#track', TRACK);
    const reads = [
      { button: 'read-number', answer: 'answer-number', shows: [NUMBER] },
      { button: 'read-info', answer: 'answer-info', shows: [NUMBER, '张三'] },
      { button: 'read-magnetic', answer: 'answer-magnetic', shows: [TRACK.slice(8, 18)] },
    ];
    for (const each of reads) {
      const shown = await read(each.button, each.answer);
      assert.equal(shown.state, 'ok', `${each.button}: ${shown.text}`);
      for (const part of each.shows) assert.ok(shown.text.includes(part), shown.text);
    }
  });

  it('reads the magnetic card when the swipe ends with Enter', async () => {
    await page.evaluate(() => {
      const answer = document.getElementById('answer-magnetic');
      answer.textContent = '';
      delete answer.dataset.state;
    });
    await page.fill('#track', '');
    await page.locator('#track').pressSequentially(TRACK);
    await page.locator('#track').press('Enter');
    await page.waitForFunction(() => {
      const state = document.getElementById('answer-magnetic').dataset.state;
      return state && state !== 'pending';
    });
    assert.ok((await text('answer-magnetic')).includes(TRACK.slice(8, 18)));
  });

  it('shows a failed read and its line in today\'s log', async (t) => {
    desk.setDriverAnswer(-5, Buffer.from('READER OFFLINE'));
    t.after(() => desk.setDriverAnswer(0, RECORD));
    const shown = await read('read-number', 'answer-number');
    assert.equal(shown.state, 'failed');
    assert.ok(shown.text.includes('-5') && shown.text.includes('READER OFFLINE'), shown.text);
    const message = shown.text.slice(shown.text.indexOf(':') + 1).trim();
    await page.waitForFunction((m) => document.getElementById('log-lines').textContent.includes(m),
      message);
    const { body } = await desk.get('/v1/desk');
    assert.ok((await text('log-file')).length > 0);
    assert.equal(await text('log-file'), body.log.file);
  });

  it('follows Login.ini as it changes', async (t) => {
    t.after(() => desk.write('Login.ini', LOGIN_INI_REAL_CARD));
    // number: what the IC card number button then shows.
    const states = [
      { ini: null, loginIni: 'bad', virtual: '未开启 (没有 Login.ini)', number: NUMBER },
      { ini: '[MAIN]\r\nREALCARD=true\r\n[QTZH]\r\nCURRENT=2\r\n1=V0000001\r\n2=V0000002\r\n',
        loginIni: 'good', virtual: /^已开启/, number: 'V0000002' },
      { ini: LOGIN_INI_REAL_CARD, loginIni: 'good', virtual: '未开启', number: NUMBER },
    ];
    for (const state of states) {
      if (state.ini === null) desk.remove('Login.ini');
      else desk.write('Login.ini', state.ini);
      await refreshed();
      await page.waitForFunction((want) => document.getElementById('login-ini').className === want,
        state.loginIni);
      const virtual = await text('virtual-card');
      if (state.virtual instanceof RegExp) assert.match(virtual, state.virtual);
      else assert.equal(virtual, state.virtual);
      const shown = await read('read-number', 'answer-number');
      assert.equal(shown.state, 'ok', shown.text);
      assert.ok(shown.text.endsWith(state.number), `${shown.text} with ${state.ini}`);
    }
  });

  it('says which file is missing', async (t) => {
    const driver = path.join(desk.directory, desk.driverName);
    const kept = `${driver}.kept`;
    fs.renameSync(driver, kept);
    t.after(() => fs.renameSync(kept, driver));
    await refreshed();
    await page.waitForFunction(() => document.getElementById('driver').className === 'bad');
    assert.ok((await text('driver')).includes(desk.driverName));
    assert.ok((await text('driver')).includes('缺少'));
  });

  it('also loads as http://localhost', async () => {
    const other = await browser.newPage();
    other.setDefaultTimeout(PAGE_TIMEOUT_MS);
    try {
      await other.goto(`${desk.url.replace('127.0.0.1', 'localhost')}/`);
      await other.waitForFunction(() => document.getElementById('version').textContent !== '…');
      const { body: status } = await desk.get('/v1/status');
      assert.equal(await other.locator('#version').textContent(), String(status.version));
      assert.equal(await other.locator('#problem').textContent(), '');
    } finally {
      await other.close();
    }
  });

  it('says who besides the administrators may change the desk, and reads nothing', async (t) => {
    // The service checks its folder when it starts.
    const restart = async (mode) => {
      await desk.stop();
      fs.chmodSync(desk.directory, mode);
      await desk.start();
      await page.goto(`${desk.url}/`);
      await settled();
    };
    t.after(() => restart(0o700));
    await restart(0o777);
    await page.waitForFunction(() => document.querySelector('#checks [data-item="permissions"]'));
    const check = page.locator('#checks [data-item="permissions"]');
    assert.equal(await check.getAttribute('class'), 'bad');
    assert.ok((await check.locator('li').allTextContents()).some(
      (line) => line.startsWith(desk.directory) && line.includes('mode 0777')));
    const shown = await read('read-number', 'answer-number');
    assert.equal(shown.state, 'error');
    assert.ok(shown.text.includes('拒绝读卡') && shown.text.includes('HTTP 500'), shown.text);
  });

  // Last: it stops the service.
  it('says so when the service does not answer', async () => {
    await desk.stop();
    const shown = await read('read-number', 'answer-number');
    assert.equal(shown.state, 'error');
    assert.ok(shown.text.includes('无法连接读卡服务'), shown.text);
    await refreshed();
    assert.ok((await text('problem')).includes('无法连接读卡服务'));
    assert.equal(await className('busy'), 'bad');
  });

  it('ran without script errors', () => {
    assert.deepEqual(pageErrors, []);
  });
});
