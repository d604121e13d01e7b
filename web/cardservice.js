// cardservice.js: reads patients' cards from a web page through the card
// service on the desk PC (cardservice, listening on the loopback address).
//
//   const { readIcCardNumber } = await import('http://127.0.0.1:18086/v1/cardservice.js');
//   const answer = await readIcCardNumber();
//   if (answer.ok) use(answer.number); else show(answer.message);
//
// A card read that fails is an answer, not an error: the Promise resolves
// with {ok: false, message}. It rejects with a CardServiceError only when the
// service cannot be reached, does not answer in time, or refuses the request
// (an HTTP status other than 200).

/** The address of the card service when nothing else is said. */
export const DEFAULT_BASE_URL = 'http://127.0.0.1:18086';

/**
 * How long a request may take, in milliseconds, until the service has told
 * its own wait for the card reader's driver (`timeout` of /v1/status, 30 s
 * unless its cardservice.ini says otherwise): then that wait plus
 * TIMEOUT_MARGIN_MS, so that the service's own answer (504) arrives first.
 */
export const DEFAULT_TIMEOUT_MS = 35000;

/** What a request may take beyond the service's own wait for the driver. */
export const TIMEOUT_MARGIN_MS = 5000;

/** The path from which the service serves this module. */
const SERVED_PATH = '/v1/cardservice.js';

/**
 * Why a request got no answer object. `code` is one of
 *   'unreachable': no connection (the service is not running, the browser
 *                  refused the request, or the service refused this page's
 *                  origin, which the browser reports the same way);
 *   'timeout':     no answer within the timeout;
 *   'protocol':    the service answered with an HTTP status other than 200
 *                  (`status` holds it, `message` the service's message), or
 *                  with status 200 and something that is not its JSON
 *                  object (`status` 200).
 */
export class CardServiceError extends Error {
  constructor(code, message, status = 0, options = undefined) {
    super(message, options);
    this.name = 'CardServiceError';
    this.code = code;
    this.status = status;
  }
}

// The service's own origin when this module was loaded from a card service
// (http on a loopback name, at the path the service serves it from);
// otherwise the default address. A copy that a HIS serves with its own pages
// therefore talks to the desk's service at the default address.
function addressFromModule(moduleUrl) {
  let url;
  try {
    url = new URL(moduleUrl);
  } catch {
    return DEFAULT_BASE_URL;
  }
  const loopbackName = url.hostname === '127.0.0.1' || url.hostname === 'localhost';
  if (url.protocol === 'http:' && loopbackName && url.pathname === SERVED_PATH) {
    return url.origin;
  }
  return DEFAULT_BASE_URL;
}

function normalisedBaseUrl(baseUrl) {
  let url;
  try {
    url = new URL(String(baseUrl));
  } catch {
    throw new TypeError(`读卡服务地址无效: ${baseUrl}`);
  }
  if (url.protocol !== 'http:' && url.protocol !== 'https:') {
    throw new TypeError(`读卡服务地址无效: ${baseUrl}`);
  }
  return url.origin;
}

function normalisedTimeout(timeoutMs) {
  const value = Number(timeoutMs);
  if (!Number.isFinite(value) || value <= 0) {
    throw new TypeError(`超时时间无效: ${timeoutMs}`);
  }
  return value;
}

// The service's message from an error answer's body, or a text that names
// the status when the body carries none.
async function messageOf(response) {
  try {
    const body = await response.json();
    if (body && typeof body.message === 'string' && body.message !== '') return body.message;
  } catch {
    // Not JSON: fall through to the status.
  }
  return `读卡服务拒绝了请求 (HTTP ${response.status})`;
}

/**
 * A client of the card service at baseUrl, with its own timeout.
 * @param {string} [baseUrl] e.g. 'http://127.0.0.1:18086'
 * @param {{timeoutMs?: number}} [options]
 */
export function connect(baseUrl = addressFromModule(import.meta.url), options = {}) {
  const origin = normalisedBaseUrl(baseUrl);
  const chosen = options.timeoutMs !== undefined;
  let timeoutMs = normalisedTimeout(options.timeoutMs ?? DEFAULT_TIMEOUT_MS);

  // Without a timeout of the caller's, the service's own wait (from its
  // status) sets it: learned from any status answer, asked for once before
  // the first card read.
  let learned = chosen;
  function learnFrom(answer) {
    if (!chosen && answer && Number.isFinite(answer.timeout) && answer.timeout > 0) {
      timeoutMs = answer.timeout * 1000 + TIMEOUT_MARGIN_MS;
      learned = true;
    }
    return answer;
  }
  async function readCard(path, body) {
    if (!learned) {
      learned = true;
      try {
        learnFrom(await request('GET', '/v1/status'));
      } catch {
        // The read itself will tell why the service cannot be asked.
      }
    }
    return request('POST', path, body);
  }

  async function request(method, path, body) {
    const controller = new AbortController();
    const timer = setTimeout(() => controller.abort(), timeoutMs);
    const init = {
      method,
      mode: 'cors',
      credentials: 'omit',
      cache: 'no-store',
      signal: controller.signal,
    };
    if (body !== undefined) {
      init.headers = { 'Content-Type': 'application/json' };
      init.body = JSON.stringify(body);
    }
    try {
      let response;
      try {
        response = await fetch(origin + path, init);
      } catch (cause) {
        if (controller.signal.aborted) {
          throw new CardServiceError('timeout',
            `读卡服务 ${origin} 在 ${timeoutMs / 1000} 秒内没有应答`, 0, { cause });
        }
        throw new CardServiceError('unreachable',
          `无法连接读卡服务 ${origin}: 服务没有运行,或浏览器不允许本页面访问它` +
          `(本页面的来源不在读卡服务的允许列表中,或未获浏览器的本地网络访问许可)`,
          0, { cause });
      }
      if (response.status !== 200) {
        throw new CardServiceError('protocol', await messageOf(response), response.status);
      }
      let answer;
      try {
        answer = await response.json();
      } catch (cause) {
        if (controller.signal.aborted) {
          throw new CardServiceError('timeout',
            `读卡服务 ${origin} 在 ${timeoutMs / 1000} 秒内没有应答`, 0, { cause });
        }
        throw new CardServiceError('protocol', `读卡服务的应答不是 JSON`, 200, { cause });
      }
      if (answer === null || typeof answer !== 'object' || Array.isArray(answer)) {
        throw new CardServiceError('protocol', `读卡服务的应答不是 JSON 对象`, 200);
      }
      return answer;
    } finally {
      clearTimeout(timer);
    }
  }

  return Object.freeze({
    baseUrl: origin,
    get timeoutMs() { return timeoutMs; },
    /** {service, version, busy, timeout} */
    status: async () => learnFrom(await request('GET', '/v1/status')),
    /** {ok: true, number} or {ok: false, message} */
    readIcCardNumber: () => readCard('/v1/ic-card/number', {}),
    /** {ok: true, info} or {ok: false, message} */
    readIcCardInfo: () => readCard('/v1/ic-card/info', {}),
    /** {ok: true, number} or {ok: false, message}; track: the 37-character track text */
    readMagneticCard: (track) => readCard('/v1/magnetic-card', { track }),
  });
}

// The module's own client: the service it was loaded from, or the default
// address.
const service = connect();

/** The service's status: {service, version, busy}. */
export const status = () => service.status();
/** The IC card's number: {ok: true, number} or {ok: false, message}. */
export const readIcCardNumber = () => service.readIcCardNumber();
/** The IC card's information line: {ok: true, info} or {ok: false, message}. */
export const readIcCardInfo = () => service.readIcCardInfo();
/** A magnetic card's number from its track: {ok: true, number} or {ok: false, message}. */
export const readMagneticCard = (track) => service.readMagneticCard(track);
