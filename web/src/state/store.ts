// What the page knows: the app's fixed data (panel schema, texts, limits)
// and the editor's latest state. Screens read from here and never keep
// their own copy of what the models decide.
import type { AppInfo, PanelSchema, Snapshot } from '../api/types';

export interface Store {
  app: AppInfo;
  state: Snapshot;
  panels: Map<string, PanelSchema>;
}

let strings: Record<string, string> = {};

export function setStrings(texts: Record<string, string>): void {
  strings = texts;
}

// The text of a STR_ key; other texts (the models' own, already localised)
// pass unchanged.
export function t(key: string): string {
  return strings[key] ?? key;
}

// "%d"-style formats of the panels' labels are made by the models; this is
// only for the page's own labels with one number.
export function panelSchemas(app: AppInfo): Map<string, PanelSchema> {
  return new Map(app.schema.panels.map((panel) => [panel.title, panel]));
}
