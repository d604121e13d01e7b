// HIS pages from real addresses of the hospital's kinds, with no testing
// switches in the browser: run inside a network namespace of its own, whose
// loopback interface also carries a public address (from a range kept for
// documentation, 203.0.113.0/24), so that a HIS server can listen there on
// this closed machine. CTest starts it with unshare (tests/web/CMakeLists.txt).
import assert from 'node:assert/strict';
import { after, before, describe, it } from 'node:test';

import { launchChromium, startHisServer } from './browser.mjs';
import { openDesk } from './desk.mjs';

const PUBLIC_ADDRESS = process.env.PUBLIC_ADDRESS || '203.0.113.5';

let plainHis;
let secureHis;
let desk;
let plainOrigin;
let secureOrigin;

before(async () => {
  plainHis = await startHisServer({ address: PUBLIC_ADDRESS });
  secureHis = await startHisServer({ address: PUBLIC_ADDRESS, tlsHostName: PUBLIC_ADDRESS });
  plainOrigin = `http://${PUBLIC_ADDRESS}:${plainHis.port}`;
  secureOrigin = `https://${PUBLIC_ADDRESS}:${secureHis.port}`;
  desk = await openDesk({ origins: [plainOrigin, secureOrigin] });
});

after(async () => {
  await desk?.stop();
  desk?.dispose();
  await plainHis?.close();
  await secureHis?.close();
});

async function readFrom(origin, { granted }) {
  const browser = await launchChromium();
  try {
    const context = await browser.newContext({ ignoreHTTPSErrors: true });
    if (granted) await context.grantPermissions(['local-network-access'], { origin });
    const page = await context.newPage();
    const messages = [];
    page.on('console', (message) => messages.push(message.text()));
    await page.goto(`${origin}/his.html`);
    const result = await page.evaluate(async ([moduleUrl, base]) => {
      const { connect } = await import(moduleUrl);
      try {
        return { secure: isSecureContext, answer: await connect(base).readIcCardNumber() };
      } catch (error) {
        return { secure: isSecureContext, code: error.code };
      }
    }, [`${origin}/lib/cardservice.js`, desk.url]);
    return { ...result, console: messages.join('\n') };
  } finally {
    await browser.close();
  }
}

describe('HIS pages from a public address', () => {
  it('are allowed by the service itself', async () => {
    for (const origin of [plainOrigin, secureOrigin]) {
      const response = await fetch(`${desk.url}/v1/status`, { headers: { Origin: origin } });
      assert.equal(response.status, 200);
      assert.equal(response.headers.get('access-control-allow-origin'), origin);
    }
  });

  const cases = [
    { name: 'over plain http: refused by the browser', origin: () => plainOrigin,
      granted: false, secure: false, reads: false, because: /not a secure context.*loopback/ },
    { name: 'over https: refused until the user allows it', origin: () => secureOrigin,
      granted: false, secure: true, reads: false, because: /Permission was denied .*loopback/ },
    { name: 'over https: read once allowed', origin: () => secureOrigin,
      granted: true, secure: true, reads: true },
  ];
  for (const each of cases) {
    it(each.name, async () => {
      const result = await readFrom(each.origin(), { granted: each.granted });
      assert.equal(result.secure, each.secure, 'the page is the kind of context meant');
      if (each.reads) {
        assert.equal(result.answer?.ok, true, JSON.stringify(result));
      } else {
        assert.equal(result.code, 'unreachable', JSON.stringify(result));
        assert.match(result.console, each.because);
      }
    });
  }
});
