// What Chromium's Local Network Access does to a HIS page that calls the
// card service on the loopback address. Chromium is told to count the HIS
// server's address as public (as a hospital's intranet or internet server
// would be), and to resolve a made-up host name to it, for a page that is
// not a secure context (plain http on a name other than localhost).
import assert from 'node:assert/strict';
import { after, before, describe, it } from 'node:test';

import { launchChromium, startHisServer } from './browser.mjs';
import { openDesk } from './desk.mjs';

const PLAIN_HOST = 'his.test';

let his;
let desk;
let secureOrigin; // http://localhost: a secure context
let plainOrigin;  // http://his.test: not a secure context

before(async () => {
  his = await startHisServer();
  secureOrigin = `http://localhost:${his.port}`;
  plainOrigin = `http://${PLAIN_HOST}:${his.port}`;
  // Both are on the service's list: whatever is refused below, the browser
  // refused.
  desk = await openDesk({ origins: [secureOrigin, plainOrigin] });
});

after(async () => {
  await desk?.stop();
  desk?.dispose();
  await his?.close();
});

// Opens origin's HIS page in a browser that counts the HIS server as
// public (or not), with the local network permission granted (or not), and
// reads an IC card number through the page's own copy of the module.
async function readFrom({ origin, hisIsPublic, granted }) {
  const flags = [`--host-resolver-rules=MAP ${PLAIN_HOST} 127.0.0.1`];
  if (hisIsPublic) flags.push(`--ip-address-space-overrides=127.0.0.1:${his.port}=public`);
  const browser = await launchChromium(flags);
  try {
    const context = await browser.newContext();
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
    const console = [];
    page.on('console', (message) => console.push(message.text()));
    await page.goto(`${origin}/his.html`);
    const result = await page.evaluate(async ([moduleUrl, base]) => {
      const { connect } = await import(moduleUrl);
      try {
        return { secure: isSecureContext, answer: await connect(base).readIcCardNumber() };
      } catch (error) {
        return { secure: isSecureContext, code: error.code };
      }
    }, [`${origin}/lib/cardservice.js`, desk.url]);
    return { ...result, grantRefused, console: console.join('\n') };
  } finally {
    await browser.close();
  }
}

describe('Local Network Access', () => {
  const cases = [
    { name: 'a page on the desk PC itself reads, secure context or not',
      origin: () => plainOrigin, hisIsPublic: false, granted: false, secure: false, reads: true },
    { name: 'a public secure page is refused until the user allows it',
      origin: () => secureOrigin, hisIsPublic: true, granted: false, secure: true, reads: false,
      because: /Permission was denied .*loopback/ },
    { name: 'a public secure page reads once allowed',
      origin: () => secureOrigin, hisIsPublic: true, granted: true, secure: true, reads: true },
    { name: 'a public page that is not a secure context is refused, and cannot be allowed',
      origin: () => plainOrigin, hisIsPublic: true, granted: true, grantRefused: true,
      secure: false, reads: false,
      because: /not a secure context.*loopback/ },
  ];
  for (const each of cases) {
    it(each.name, async () => {
      const result = await readFrom({ origin: each.origin(), hisIsPublic: each.hisIsPublic,
        granted: each.granted });
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
