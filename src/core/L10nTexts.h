#pragma once

class TextTable;

// The texts of L10n, generated from L10nTexts.json.
const TextTable& l10nTexts();
