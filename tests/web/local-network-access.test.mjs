// What Chromium's Local Network Access does to a HIS page that calls the
// card service on the loopback address. The HIS is served under a host name
// of its own (his.test, which Chromium resolves to this machine), over https
// and over plain http; Chromium is told to count the HIS servers' addresses
// as public, as a hospital's own servers are to the desk PC, or not.
import assert from 'node:assert/strict';
import { after, before, describe, it } from 'node:test';

import { launchChromium, startHisServer } from './browser.mjs';
import { openDesk } from './desk.mjs';

const HIS_HOST = 'his.test';

let plainHis;
let secureHis;
let desk;
let plainOrigin;  // http://his.test:PORT: not a secure context
let secureOrigin; // https://his.test:PORT: a secure context

before(async () => {
  plainHis = await startHisServer();
  secureHis = await startHisServer({ tlsHostName: HIS_HOST });
  plainOrigin = `http://${HIS_HOST}:${plainHis.port}`;
  secureOrigin = `https://${HIS_HOST}:${secureHis.port}`;
  // Both are on the service's list: whatever is refused below, the browser
  // refused.
  desk = await openDesk({ origins: [plainOrigin, secureOrigin] });
});

after(async () => {
  await desk?.stop();
  desk?.dispose();
  await plainHis?.close();
  await secureHis?.close();
});

// Opens origin's HIS page in a browser that counts the HIS servers as public
// (or not), with the local network permission granted (or not), and reads
// an IC card number through the page's own copy of the module.
async function readFrom({ origin, hisIsPublic, granted }) {
  const flags = [`--host-resolver-rules=MAP ${HIS_HOST} 127.0.0.1`];
  if (hisIsPublic) {
    flags.push(`--ip-address-space-overrides=127.0.0.1:${plainHis.port}=public,` +
      `127.0.0.1:${secureHis.port}=public`);
  }
  const browser = await launchChromium(flags);
  try {
    const context = await browser.newContext({ ignoreHTTPSErrors: true });
    // Chromium grants the permission to secure contexts only.
    let grantRefused = false;
    if (granted) {
      try {
        await context.grantPermissions(['local-network-access'], { origin });
      } catch (error) {
        if (!/can't be granted/.test(error.message)) throw error;
        grantRefused = true;
      }
    }
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
    return { ...result, grantRefused, console: messages.join('\n') };
  } finally {
    await browser.close();
  }
}

describe('Local Network Access', () => {
  const cases = [
    { name: 'a plain http page served from the desk PC itself reads',
      origin: () => plainOrigin, hisIsPublic: false, secure: false, reads: true },
    { name: 'an https page reads from the http service: loopback is not mixed content',
      origin: () => secureOrigin, hisIsPublic: false, secure: true, reads: true },
    { name: 'a public https page is refused until the user allows it',
      origin: () => secureOrigin, hisIsPublic: true, secure: true, reads: false,
      because: /Permission was denied .*loopback/ },
    { name: 'a public https page reads once allowed',
      origin: () => secureOrigin, hisIsPublic: true, granted: true, secure: true, reads: true },
    { name: 'a public plain http page is refused, and cannot be allowed',
      origin: () => plainOrigin, hisIsPublic: true, granted: true, grantRefused: true,
      secure: false, reads: false, because: /not a secure context.*loopback/ },
  ];
  for (const each of cases) {
    it(each.name, async () => {
      const result = await readFrom({ origin: each.origin(), hisIsPublic: each.hisIsPublic,
        granted: each.granted === true });
      assert.equal(result.secure, each.secure, 'the page is the kind of context meant');
      assert.equal(result.grantRefused, each.grantRefused === true, 'granting the permission');
      if (each.reads) {
        assert.equal(result.answer?.ok, true, JSON.stringify(result));
      } else {
        assert.equal(result.code, 'unreachable', JSON.stringify(result));
        assert.match(result.console, each.because);
      }
    });
  }
});
