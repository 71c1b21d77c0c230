#include <gtest/gtest.h>

#include "core/L10nTexts.h"
#include "core/TextTableCheck.h"

TEST(L10nData, EveryKeyHasAWholeLanguageSetAndTheSamePlaceholdersAsEnglish) {
    texttablecheck::checkTable("L10nTexts.json", l10nTexts());
}
