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
export const timings: { slider: number[]; open: number[] } = { slider: [], open: [] };
(window as unknown as { vantrelTimings: typeof timings }).vantrelTimings = timings;
