// Type declarations for cardservice.js, the browser module that reads cards
// through the card service on the desk PC.

/** The address of the card service when nothing else is said. */
export declare const DEFAULT_BASE_URL: 'http://127.0.0.1:18086';

/** How long a request may take, in milliseconds, until the service has told its own wait. */
export declare const DEFAULT_TIMEOUT_MS: number;
/** What a request may take beyond the service's own wait for the driver, in milliseconds. */
export declare const TIMEOUT_MARGIN_MS: number;

/** GET /v1/status */
export interface ServiceStatus {
  service: 'readcard';
  /** The card library's version number; null while it is not known. */
  version: number | null;
  /** True while a card call is running. */
  busy: boolean;
  /** How long the service waits for the card reader's driver, in seconds. */
  timeout: number;
}

/** A card read that failed: the reason as the card library logged it. */
export interface ReadFailure {
  ok: false;
  message: string;
}

export interface CardNumberRead {
  ok: true;
  number: string;
}

export interface CardInfoRead {
  ok: true;
  /** The card's basic information as one '#'-delimited line. */
  info: string;
}

export type CardNumberAnswer = CardNumberRead | ReadFailure;
export type CardInfoAnswer = CardInfoRead | ReadFailure;

export type CardServiceErrorCode = 'unreachable' | 'timeout' | 'protocol';

/**
 * Why a request got no answer object: the service could not be reached
 * ('unreachable', status 0), did not answer in time ('timeout', status 0), or
 * refused the request with an HTTP status other than 200 ('protocol', with
 * `status` and the service's message), or answered 200 with something that
 * is not its JSON object ('protocol', status 200).
 */
export declare class CardServiceError extends Error {
  constructor(code: CardServiceErrorCode, message: string, status?: number, options?: { cause?: unknown });
  readonly name: 'CardServiceError';
  readonly code: CardServiceErrorCode;
  /**
   * The HTTP status of a 'protocol' error: the refusal's (400, 403, 503, 504, ...), or 200
   * for an answer that is not the service's JSON; 0 for 'unreachable' and 'timeout'.
   */
  readonly status: number;
}

export interface ConnectOptions {
  /**
   * Milliseconds to wait for an answer. By default the service's own wait plus
   * TIMEOUT_MARGIN_MS, learned from /v1/status before the first card read
   * (DEFAULT_TIMEOUT_MS until then).
   */
  timeoutMs?: number;
}

/** A client of one card service. */
export interface CardService {
  /** The service's origin, e.g. 'http://127.0.0.1:18086'. */
  readonly baseUrl: string;
  /** The wait in use now (it follows the service's own once learned). */
  readonly timeoutMs: number;
  status(): Promise<ServiceStatus>;
  readIcCardNumber(): Promise<CardNumberAnswer>;
  readIcCardInfo(): Promise<CardInfoAnswer>;
  /** track: the magnetic card's 37-character track text. */
  readMagneticCard(track: string): Promise<CardNumberAnswer>;
}

/**
 * A client of the card service at baseUrl (default: the service this module
 * was loaded from, or DEFAULT_BASE_URL). Throws a TypeError for an address
 * that is not an http(s) URL or a timeout that is not a positive number.
 */
export declare function connect(baseUrl?: string, options?: ConnectOptions): CardService;

export declare function status(): Promise<ServiceStatus>;
export declare function readIcCardNumber(): Promise<CardNumberAnswer>;
export declare function readIcCardInfo(): Promise<CardInfoAnswer>;
export declare function readMagneticCard(track: string): Promise<CardNumberAnswer>;
