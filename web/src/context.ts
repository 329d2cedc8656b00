// What every screen shares: the app's fixed data, the latest state, the
// action sender and the passing messages.
import { ActionQueue } from './api/client';
import type { AppInfo, PanelSchema, Snapshot } from './api/types';

export interface Context {
  app: AppInfo;
  state: Snapshot;
  panels: Map<string, PanelSchema>;
  actions: ActionQueue;
  toast(text: string, error?: boolean): void;
}

// Timings a page collects for its own measurement (read by the browser tests).
// slider: a slider move to its preview on screen; sheet: Edit tapped to the
// size sheet shown (the photo read and measured); open: a size chosen to the
// first edit picture on screen.
export const timings: { slider: number[]; sheet: number[]; open: number[] } = { slider: [], sheet: [], open: [] };
(window as unknown as { vantrelTimings: typeof timings }).vantrelTimings = timings;
