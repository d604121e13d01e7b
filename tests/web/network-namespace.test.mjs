// HIS pages from real addresses of the hospital's kinds, with no testing
// switches in the browser: run inside a network namespace of its own, whose
// loopback interface also carries a public address (from a range kept for
// documentation, 203.0.113.0/24), so that a HIS server can listen there on
// this closed machine; and with Chromium's policy directory on a tmpfs of
// that namespace, so that enterprise policies can be tried. CTest starts it
// through in-network-namespace.sh.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
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

// The managed policy directory, written only when it lies on the tmpfs of
// this test's own mount namespace, never on the machine's /etc.
function policyDirectory() {
  const directory = process.env.CHROMIUM_POLICY_DIR;
  assert.ok(directory, 'CHROMIUM_POLICY_DIR names the private policy directory');
  const mounts = fs.readFileSync('/proc/self/mountinfo', 'utf8').split('\n')
    .map((line) => line.split(' '))
    .filter((fields) => fields.length > 4 && fields[fields.indexOf('-') + 1] === 'tmpfs')
    .map((fields) => fields[4]);
  assert.ok(mounts.some((mount) => directory.startsWith(`${mount}/`) && mount !== '/tmp' &&
    mount.startsWith('/etc/')), `${directory} lies on a private tmpfs below /etc`);
  return directory;
}

// Chromium reads its managed policies when it starts.
function setPolicies(policies) {
  const file = path.join(policyDirectory(), 'readcard-test.json');
  if (policies) fs.writeFileSync(file, JSON.stringify(policies));
  else fs.rmSync(file, { force: true });
}

async function readFrom(origin, { granted, policies }) {
  setPolicies(policies);
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

  // policy: a managed policy that lists the page's origin.
  const listing = (name) => (origin) => ({ [name]: [origin] });
  const cases = [
    { name: 'over plain http: refused by the browser', origin: () => plainOrigin,
      secure: false, reads: false, because: /not a secure context.*loopback/ },
    { name: 'over https: refused until the user allows it', origin: () => secureOrigin,
      secure: true, reads: false, because: /Permission was denied .*loopback/ },
    { name: 'over https: read once allowed', origin: () => secureOrigin,
      granted: true, secure: true, reads: true },
    { name: 'over https: read without asking under LocalNetworkAccessAllowedForUrls',
      origin: () => secureOrigin, policy: listing('LocalNetworkAccessAllowedForUrls'),
      secure: true, reads: true },
    { name: 'over https: read without asking under LoopbackNetworkAllowedForUrls',
      origin: () => secureOrigin, policy: listing('LoopbackNetworkAllowedForUrls'),
      secure: true, reads: true },
    { name: 'over https: still asked under LocalNetworkAllowedForUrls, which is not for loopback',
      origin: () => secureOrigin, policy: listing('LocalNetworkAllowedForUrls'),
      secure: true, reads: false, because: /Permission was denied .*loopback/ },
    { name: 'over plain http: refused even under LocalNetworkAccessAllowedForUrls',
      origin: () => plainOrigin, policy: listing('LocalNetworkAccessAllowedForUrls'),
      secure: false, reads: false, because: /not a secure context.*loopback/ },
  ];
  after(() => setPolicies(null));
  for (const each of cases) {
    it(each.name, async () => {
      const origin = each.origin();
      const result = await readFrom(origin, { granted: each.granted === true,
        policies: each.policy ? each.policy(origin) : null });
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
