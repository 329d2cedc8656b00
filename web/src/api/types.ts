// The server's JSON, as the front end reads it. The shapes are the models'
// own state (EditorShell::snapshot and `vantrel panels`).

export interface SizeJson { width: number; height: number }
export interface PointJson { x: number; y: number }
export interface RectJson { x: number; y: number; width: number; height: number }

export interface Question {
  id: number;
  kind: 'alert' | 'sheet';
  title: string;
  message: string;
  buttons: string[];
  cancelIndex: number;
  destructiveIndex: number;
}

export interface WaitPanel { kind: 'panel' | 'activity'; title: string; mask: boolean }

export interface SelectionState {
  serial: number;
  title: string;
  buttons: string[];
  clipFrame: RectJson;
  clipRect: RectJson;
  whScale: number;
  minSpacing: number;
  borderButtonWidth: number;
  handles: PointJson[];
  pictureSize: SizeJson;
  selectedRect: RectJson;
}

export interface EditState {
  barsShown: boolean;
  undoEnabled: boolean;
  redoEnabled: boolean;
  saveEnabled: boolean;
  sizeLabel: { text: string; width: number; height: number };
  display: { url: string; size: SizeJson } | null;
  commandIndex: number;
  historyCount: number;
  openPanelTitle: string;
  busy: boolean;
  workingSize: SizeJson;
  scaleMark: number;
  selection: SelectionState | null;
}

export interface ControlState {
  key: string;
  kind: string;
  value: number;
  label: string;
  enabled: boolean;
  minimum?: number;
  maximum?: number;
}

export interface PanelState {
  title: string;
  class: string;
  controls: ControlState[];
  processing: boolean;
  appliedEffect: boolean;
  reviewSelected: boolean;
  hasPreview: boolean;
  previewSize: SizeJson;
  reallySize: SizeJson;
  displayTitle: string;
  showing: 'original' | 'review' | 'none';
  imageVersion: number;
  buttons: string[];
  serial: string;
  originalUrl: string;
  reviewUrl: string | null;
  shownUrl: string | null;
  shownSize: SizeJson;
  flags: { showOriginalImageOnTap: boolean; realTimeSliderEnabled: boolean };
  // Editors' states, present on their panels.
  [editor: string]: unknown;
}

export interface SettingsState {
  title: string;
  sections: { header: string; footer: string; rows: { key: string; switch: boolean | null }[] }[];
  about: boolean;
}

export interface Snapshot {
  instance: string;
  version: string;
  phase: number;
  prevPhase: number;
  picker: 'none' | 'library' | 'camera';
  library: { loading: boolean; count: number; generation: number };
  browser: { reference: string } | null;
  unfinishedEdit: boolean;
  questions: Question[];
  waitPanel: WaitPanel | null;
  edit: EditState | null;
  panel: PanelState | null;
  settings: SettingsState | null;
  saved: { reference: string; serial: number } | null;
  share: ShareState | null;
}

export interface SharePage { title: string; text: string; defaultText: boolean; thumbnailUrl: string | null; sending: boolean }

export interface ShareState {
  menu: boolean;
  providers: { code: number; name: string; problem: string }[];
  page: SharePage | null;
}

export interface ControlSchema {
  key: string;
  kind: string;
  title: string;
  minimum?: number;
  maximum?: number;
  default?: number | null;
  format?: string;
  items?: string[];
}

export interface PanelSchema {
  title: string;
  class: string;
  menu: string;
  commands: string[];
  controls: ControlSchema[];
  flags: Record<string, number | boolean>;
}

export interface MenuSchema { key: string; title?: string; items: string[] }

export interface AppInfo {
  schema: { menus: MenuSchema[]; panels: PanelSchema[]; [k: string]: unknown };
  strings: Record<string, string>;
  maxUploadBytes: number;
  maxUploadPixels: number;
}

export interface Notice { kind: 'tip' | 'completed' | 'openURL'; text?: string; url?: string }

export interface LibraryPage {
  offset: number;
  total: number;
  loading: boolean;
  photos: { reference: string; modified: number }[];
}
