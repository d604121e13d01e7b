export interface Status { service: string; version: number | null; busy: boolean; }
export interface CardAnswer { ok: boolean; number?: string; info?: string; message?: string; }
export function status(): Promise<Status>;
export function readIcCardNumber(): Promise<CardAnswer>;
export function readIcCardInfo(): Promise<CardAnswer>;
export function readMagneticCard(track: string): Promise<CardAnswer>;
