// HIS pages read cards through cardservice.js in headless Chromium, against
// the native card service with the simulated driver; pages of origins that
// cardservice.ini does not list cannot.
import assert from 'node:assert/strict';
import net from 'node:net';
import { after, before, describe, it } from 'node:test';

import { launchChromium, PAGE_TIMEOUT_MS, startHisServer } from './browser.mjs';
import { openDesk } from './desk.mjs';

// The record that the simulated driver answers: our own values, the name in
// GBK (张三), so that every field can be traced to the answers.
const FIELDS = ['330200', '330203198811112222', 'B87654321', '330200D1560000050B87654321',
  null, '3B6D00000A2B3C4D', '3.00', '20211201', '20311201', '00000007', 'SIM00007'];
const NAME = '张三';
const NAME_GBK = Buffer.from([0xd5, 0xc5, 0xc8, 0xfd]);
function recordBytes() {
  const parts = FIELDS.map((field) => (field === null ? NAME_GBK : Buffer.from(field)));
  const bar = Buffer.from('|');
  return Buffer.concat(parts.flatMap((part) => [part, bar]));
}
// The fields that the information line carries (the others stay on the card).
const INFO_FIELDS = [FIELDS[0], FIELDS[1], FIELDS[2], FIELDS[3], NAME, FIELDS[7]];

// A hospital magnetic card's track; its card number is characters 8 to 17.
const TRACK = '123456780000123456=009633791987654321';
const TRACK_NUMBER = TRACK.slice(8, 18);
// The same track with one digit of its check code changed.
const BAD_TRACK = TRACK.slice(0, 28) + String((Number(TRACK[28]) + 1) % 10) + TRACK.slice(29);

let browser;
let his;
let desk;
let listedOrigin;   // on cardservice.ini's list
let unlistedOrigin; // the same server under another name: not on the list

before(async () => {
  his = await startHisServer();
  listedOrigin = `http://localhost:${his.port}`;
  unlistedOrigin = `http://127.0.0.1:${his.port}`;
  desk = await openDesk({ origins: ['https://his.hospital.example', listedOrigin] });
  desk.setDriverAnswer(0, recordBytes());
  browser = await launchChromium();
});

after(async () => {
  await browser?.close();
  await desk?.stop();
  desk?.dispose();
  await his?.close();
});

// Runs one call of the module inside the page: the module from moduleUrl,
// its own client (base null) or connect(base, options)'s; answers what the
// Promise gave, or the rejection's name, code, status and message.
function callInPage(page, moduleUrl, base, method, args = [], options = undefined) {
  return page.evaluate(async ([moduleUrl, base, method, args, options]) => {
    let module;
    try {
      module = await import(moduleUrl);
    } catch (error) {
      return { importFailed: true, message: String(error && error.message) };
    }
    try {
      const client = base === null ? module : module.connect(base, options);
      return { answer: await client[method](...args) };
    } catch (error) {
      return {
        rejected: {
          name: error.name, code: error.code, status: error.status, message: error.message,
          isCardServiceError: error instanceof module.CardServiceError,
        },
      };
    }
  }, [moduleUrl, base, method, args, options]);
}

async function hisPage(origin) {
  const context = await browser.newContext();
  context.setDefaultTimeout(PAGE_TIMEOUT_MS);
  const page = await context.newPage();
  await page.goto(`${origin}/his.html`);
  return page;
}

// The desk's last log line, as the service reports it.
async function lastLogLine() {
  const { body } = await desk.get('/v1/desk');
  assert.ok(Array.isArray(body.log.lines) && body.log.lines.length > 0, 'the day\'s log has lines');
  return body.log.lines.at(-1);
}

describe('a HIS page of a listed origin', () => {
  let page;
  let servedModule;
  let packagedModule;
  before(async () => {
    page = await hisPage(listedOrigin);
    servedModule = `${desk.url}/v1/cardservice.js`;
    packagedModule = `${listedOrigin}/lib/cardservice.js`;
  });
  after(async () => page.context().close());

  // The module as the service serves it talks to that service; a copy
  // packaged with the HIS's own files talks to the address it is given.
  const ways = [
    { name: 'the module served by the service', module: () => servedModule, base: () => null },
    { name: 'the packaged module, told the address', module: () => packagedModule,
      base: () => desk.url },
  ];
  for (const way of ways) {
    it(`reads all three through ${way.name}`, async () => {
      const { body: status } = await desk.get('/v1/status');
      const { body: direct } = await desk.post('/v1/ic-card/info', {});
      const reads = [
        { method: 'status', args: [], want: status },
        { method: 'readIcCardNumber', args: [], want: { ok: true, number: FIELDS[2] } },
        { method: 'readIcCardInfo', args: [], want: direct },
        { method: 'readMagneticCard', args: [TRACK], want: { ok: true, number: TRACK_NUMBER } },
      ];
      for (const read of reads) {
        const result = await callInPage(page, way.module(), way.base(), read.method, read.args);
        assert.deepEqual(result, { answer: read.want }, `${read.method} through ${way.name}`);
      }
      // The information line, as the page has it, carries the card's fields
      // and the name converted from the driver's GBK.
      assert.equal(direct.ok, true);
      const pieces = direct.info.split('#');
      for (const field of INFO_FIELDS) assert.ok(pieces.includes(field), `${field} in ${direct.info}`);
      assert.ok(direct.info.includes(NAME));
    });
  }

  it('finds its service from where it was loaded', async () => {
    const baseUrl = (moduleUrl) => page.evaluate(
      async (url) => (await import(url)).connect().baseUrl, moduleUrl);
    assert.equal(await baseUrl(servedModule), desk.url);
    const packaged = await page.evaluate(async (url) => {
      const module = await import(url);
      return [module.connect().baseUrl, module.DEFAULT_BASE_URL];
    }, packagedModule);
    assert.deepEqual(packaged, ['http://127.0.0.1:18086', 'http://127.0.0.1:18086']);
  });

  it('resolves a failed read with the message the library logged', async (t) => {
    desk.setDriverAnswer(-3, Buffer.from('NOCARD'));
    t.after(() => desk.setDriverAnswer(0, recordBytes()));
    const failures = [
      { method: 'readIcCardNumber', args: [], mentions: ['-3', 'NOCARD'] },
      { method: 'readIcCardInfo', args: [], mentions: ['-3', 'NOCARD'] },
      { method: 'readMagneticCard', args: [BAD_TRACK], mentions: [] },
      { method: 'readMagneticCard', args: [TRACK.slice(1)], mentions: [] },
    ];
    for (const failure of failures) {
      const { answer } = await callInPage(page, servedModule, null, failure.method, failure.args);
      assert.equal(answer?.ok, false, `${failure.method}(${failure.args}) fails`);
      assert.equal(typeof answer.message, 'string');
      assert.notEqual(answer.message, '');
      for (const text of failure.mentions) assert.ok(answer.message.includes(text), answer.message);
      const line = await lastLogLine();
      assert.ok(line.endsWith(answer.message), `log line "${line}" ends with "${answer.message}"`);
      assert.notEqual(line, answer.message, 'the message leaves out time stamp and level');
    }
  });

  it('rejects with the service\'s status and message on a protocol error', async () => {
    for (const track of [undefined, null, 12345, ['1']]) {
      const { rejected } = await callInPage(page, servedModule, null, 'readMagneticCard', [track]);
      assert.ok(rejected, `track ${JSON.stringify(track)} is refused`);
      assert.equal(rejected.isCardServiceError, true);
      assert.equal(rejected.code, 'protocol');
      assert.equal(rejected.status, 400);
      assert.ok(rejected.message.length > 0 && !rejected.message.includes('HTTP 400'),
        `the service's own message: ${rejected.message}`);
    }
  });

  it('rejects when the service cannot be reached or does not answer', async (t) => {
    // A port where nothing listens, and one that accepts and never answers.
    const closed = net.createServer();
    await new Promise((resolve) => closed.listen(0, '127.0.0.1', resolve));
    const closedPort = closed.address().port;
    await new Promise((resolve) => closed.close(resolve));
    const sockets = [];
    const silent = net.createServer((socket) => sockets.push(socket));
    await new Promise((resolve) => silent.listen(0, '127.0.0.1', resolve));
    t.after(() => { sockets.forEach((socket) => socket.destroy()); silent.close(); });

    const cases = [
      { base: `http://127.0.0.1:${closedPort}`, options: undefined, code: 'unreachable' },
      { base: `http://127.0.0.1:${silent.address().port}`, options: { timeoutMs: 400 },
        code: 'timeout' },
    ];
    for (const each of cases) {
      for (const method of ['status', 'readIcCardNumber']) {
        const started = Date.now();
        const { rejected } = await callInPage(page, packagedModule, each.base, method, [],
          each.options);
        assert.ok(rejected, `${method} at ${each.base} rejects`);
        assert.equal(rejected.isCardServiceError, true);
        assert.equal(rejected.code, each.code, rejected.message);
        assert.equal(rejected.status, 0);
        assert.ok(rejected.message.includes(each.base), rejected.message);
        if (each.options) assert.ok(Date.now() - started < 5000, 'the timeout ended the wait');
      }
    }
  });

  it('refuses an address or timeout that cannot work', async () => {
    const refusals = await page.evaluate(async (url) => {
      const { connect } = await import(url);
      const tries = [['ftp://127.0.0.1:18086'], ['not a url'], ['http://127.0.0.1:18086', { timeoutMs: 0 }],
        ['http://127.0.0.1:18086', { timeoutMs: 'soon' }]];
      return tries.map((args) => {
        try {
          connect(...args);
          return 'accepted';
        } catch (error) {
          return error.name;
        }
      });
    }, packagedModule);
    assert.deepEqual(refusals, ['TypeError', 'TypeError', 'TypeError', 'TypeError']);
  });
});

describe('a HIS page of an origin not on the list', () => {
  let page;
  before(async () => { page = await hisPage(unlistedOrigin); });
  after(async () => page.context().close());

  it('cannot load the module from the service', async () => {
    const result = await callInPage(page, `${desk.url}/v1/cardservice.js`, null, 'status');
    assert.equal(result.importFailed, true, JSON.stringify(result));
  });

  it('sees every call of its own copy of the module rejected', async () => {
    for (const [method, args] of [['status', []], ['readIcCardNumber', []], ['readIcCardInfo', []],
      ['readMagneticCard', [TRACK]]]) {
      const { rejected } = await callInPage(page, `${unlistedOrigin}/lib/cardservice.js`, desk.url,
        method, args);
      assert.ok(rejected, `${method} is refused`);
      assert.equal(rejected.isCardServiceError, true);
      assert.equal(rejected.code, 'unreachable', rejected.message);
    }
    // The origin, not the start of a longer one (the service's own address
    // differs only in its port).
    const named = new RegExp(`${unlistedOrigin.replace(/[.]/g, '\\.')}(?![0-9])`);
    assert.match(desk.serviceLogText(), named, 'the service log names the refused origin');
  });
});

describe('a HIS page and a slow card reader', () => {
  const DELAY_MS = 2500; // longer than the service waits for the driver
  let slowDesk;
  let page;
  before(async () => {
    slowDesk = await openDesk({ origins: [listedOrigin], timeoutSeconds: 1,
      environment: { SIMCARD_DELAY_MS: String(DELAY_MS) } });
    page = await hisPage(listedOrigin);
  });
  after(async () => {
    await page?.context().close();
    await slowDesk?.stop();
    slowDesk?.dispose();
  });

  it('sees the service busy during a read, and the read refused with 504', async () => {
    const result = await page.evaluate(async (base) => {
      const { connect } = await import(`${base}/v1/cardservice.js`);
      const service = connect(base);
      const timeoutBefore = service.timeoutMs;
      const started = performance.now();
      const read = service.readIcCardNumber().then(
        (answer) => ({ answer }),
        (error) => ({ code: error.code, status: error.status, message: error.message }));
      // The read is waiting for the driver; the status answers meanwhile.
      await new Promise((resolve) => setTimeout(resolve, 400));
      const during = await service.status();
      const statusMs = performance.now() - started;
      const outcome = await read;
      return { during, statusMs, outcome, readMs: performance.now() - started, timeoutBefore,
        timeoutAfter: service.timeoutMs };
    }, slowDesk.url);
    // The module's own wait follows the service's: 1 s here, plus the margin.
    assert.equal(result.timeoutBefore, 35000);
    assert.equal(result.timeoutAfter, 1000 + 5000);
    assert.equal(result.during.timeout, 1);
    assert.equal(result.during.busy, true, JSON.stringify(result));
    assert.ok(result.statusMs < DELAY_MS, `the status answered after ${result.statusMs} ms`);
    assert.equal(result.outcome.code, 'protocol', JSON.stringify(result.outcome));
    assert.equal(result.outcome.status, 504);
    assert.ok(result.outcome.message.length > 0 && !result.outcome.message.includes('HTTP 504'),
      result.outcome.message);
    assert.ok(result.readMs < DELAY_MS + 1000, `the 504 came after ${result.readMs} ms`);
  });
});
