#include "app/StringTable.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "app/Menus.h"
#include "app/Resources.h"
#include "app/Toolbar.h"
#include "framework/ResourceTable.h"
#include "resources/ResourceIds.h"
#include "scp/ScpLeadNames.h"

namespace {

constexpr UiLanguage kBothLanguages[] = {UiLanguage::kEnglish, UiLanguage::kItalian};

std::string English(int id) {
  return StringText(id, UiLanguage::kEnglish).toStdString();
}
std::string Italian(int id) {
  return StringText(id, UiLanguage::kItalian).toStdString();
}

// Every command a menu item or a toolbar button issues.
std::vector<int> MenuAndToolbarCommands() {
  std::vector<int> commands;
  for (int menu : {kIdrMainFrame, kIdrDocument}) {
    for (const MenuPopup& popup : MenuResource(menu)) {
      for (const MenuItem& item : popup.items) {
        if (!item.IsSeparator()) {
          commands.push_back(item.commandId);
        }
      }
    }
  }
  for (const ToolbarItem& button : ToolbarResource(kIdrMainFrame)) {
    if (!button.IsSeparator()) {
      commands.push_back(button.commandId);
    }
  }
  return commands;
}

class StringTable : public ::testing::Test {
 protected:
  void TearDown() override { FollowSystemUiLanguage(); }
};

TEST_F(StringTable, NamesLeadCodeCAtIdCPlusThreeInBothLanguages) {
  for (int code = kScpFirstNamedLead; code <= kScpLastNamedLead; ++code) {
    for (UiLanguage language : kBothLanguages) {
      EXPECT_EQ(StringText(code + kIdsLeadNameOffset, language).toStdString(), ScpLeadName(code))
          << code;
    }
  }
  EXPECT_EQ(English(4), "I");
  EXPECT_EQ(English(67), "aVF");
  EXPECT_EQ(English(68), "-aVR");
}

TEST_F(StringTable, HasNoTextForIdsNoOneNamed) {
  for (int id : {-1, 0, 1, 3, 110, 117, 127, 130, 143, 154, 500, 600, 615, 32770, 57605, 65535}) {
    EXPECT_TRUE(StringText(id, UiLanguage::kEnglish).isNull()) << id;
    EXPECT_TRUE(StringText(id, UiLanguage::kItalian).isNull()) << id;
  }
}

TEST_F(StringTable, HasEveryTextInBothLanguages) {
  std::vector<int> ids = {kIdrMainFrame,
                          kIdrDocument,
                          kIdsAppTitle,
                          kIdsPatientPane,
                          ID_INDICATOR_CAPS,
                          ID_INDICATOR_NUM,
                          ID_INDICATOR_SCRL,
                          kIdsNotAnScpRecord,
                          kIdsSaveFailed,
                          kIdsReasonCannotWrite,
                          kIdsReasonCannotBuild,
                          AFX_IDP_ASK_TO_SAVE,
                          AFX_IDP_PARSE_INT,
                          AFX_IDP_PARSE_UINT,
                          AFX_IDP_PARSE_STRING_SIZE,
                          kCmdZoomIn,
                          kCmdZoomOut};
  for (int id = kIdsFirstMeasureRow; id < kIdsFirstMorphology + kMorphologyCount; ++id) {
    ids.push_back(id);
  }
  for (int id = kIdsHeartRate; id <= kIdsTAxis; ++id) {
    ids.push_back(id);
  }
  for (int id = kIdsPrintName; id <= kIdsMeasureCaption; ++id) {
    ids.push_back(id);
  }
  for (int command : MenuAndToolbarCommands()) {
    ids.push_back(command);
  }
  for (int id : ids) {
    EXPECT_FALSE(English(id).empty()) << id;
    EXPECT_FALSE(Italian(id).empty()) << id;
  }
}

// A text the same in both languages is a name ("&File", "ECG"); a sentence the same in both is
// one left untranslated.
TEST_F(StringTable, TranslatesEveryCommandPromptAndEveryWordyMenuText) {
  for (int menu : {kIdrMainFrame, kIdrDocument}) {
    for (const MenuPopup& popup : MenuResource(menu)) {
      for (const MenuItem& item : popup.items) {
        if (item.IsSeparator()) {
          continue;
        }
        EXPECT_NE(English(item.commandId), Italian(item.commandId)) << item.commandId;
        // Texts that are only numbers and units ("&12x1", "25 mm/s") read the same in both.
        const std::string text = English(item.textId);
        if (std::regex_search(text, std::regex("[A-Za-z]{3}"))) {
          EXPECT_NE(text, Italian(item.textId)) << item.textId;
        }
      }
    }
  }
  for (int id = kIdsFormPatientData; id <= kIdsHelpGuide; ++id) {
    if (!English(id).empty()) {
      EXPECT_FALSE(Italian(id).empty()) << id;
    }
  }
}

TEST_F(StringTable, KeepsMeasurementLabelsExactlyIncludingTheirDoubleBlanks) {
  EXPECT_EQ(English(kIdsFirstMeasureRow + kMeasureRowCount - 1), "ST-Amplitude at  J+80 (uV)");
  EXPECT_EQ(English(86), "T+ Amplitude  (uV)");
  EXPECT_EQ(Italian(82), "Ampiezza  S' (uV)");
  EXPECT_EQ(English(kIdsFirstMorphology + 5), "PNP");
  EXPECT_EQ(Italian(kIdsMeasureCaption), "MISURE");
}

TEST_F(StringTable, DecodesAccentedItalianTexts) {
  const QString text = StringText(AFX_IDP_PARSE_STRING_SIZE, UiLanguage::kItalian).arg(80);
  EXPECT_EQ(text, QString::fromUtf8("Non digitare pi\u00f9 di 80 caratteri."));
}

TEST_F(StringTable, SplitsCommandPromptsIntoStatusTextAndToolTip) {
  const QString open = StringText(ID_FILE_OPEN, UiLanguage::kItalian);
  EXPECT_EQ(StringField(open, 0), "Apre un documento esistente");
  EXPECT_EQ(StringField(open, 1), "Apri");
  EXPECT_EQ(StringField(StringText(ID_FILE_NEW, UiLanguage::kEnglish), 0),
            "Creates a new document");
  EXPECT_TRUE(StringField(StringText(ID_FILE_NEW, UiLanguage::kEnglish), 1).isEmpty());
  EXPECT_TRUE(StringField(open, -1).isEmpty());
}

TEST_F(StringTable, GivesEveryToolbarButtonATipInBothLanguages) {
  for (const ToolbarItem& button : ToolbarResource(kIdrMainFrame)) {
    if (button.IsSeparator()) {
      continue;
    }
    for (UiLanguage language : kBothLanguages) {
      const QString prompt = StringText(button.commandId, language);
      EXPECT_FALSE(StringField(prompt, 0).isEmpty()) << button.commandId;
      EXPECT_FALSE(StringField(prompt, 1).isEmpty()) << button.commandId;
    }
  }
}

TEST_F(StringTable, KeepsTheDocumentStringFieldsThatNameTheFileType) {
  for (UiLanguage language : kBothLanguages) {
    const QString document = StringText(kIdrDocument, language);
    EXPECT_TRUE(StringField(document, 0).isEmpty());
    EXPECT_EQ(StringField(document, 1), "Quillon");
    EXPECT_TRUE(StringField(document, 3).contains("(*.scp)"));
    EXPECT_EQ(StringField(document, 4), ".SCP");
    EXPECT_EQ(StringField(document, 5), "Quillon.Document");
  }
  EXPECT_EQ(StringField(StringText(kIdrDocument, UiLanguage::kEnglish), 3),
            "Quillon Files (*.scp)");
  EXPECT_EQ(StringField(StringText(kIdrDocument, UiLanguage::kEnglish), 6), "Quillon Document");
}

TEST_F(StringTable, NamesTheFileAndTheReasonInFailureMessages) {
  for (UiLanguage language : kBothLanguages) {
    const QString reason = StringText(kIdsReasonCannotWrite, language);
    const QString saved = StringText(kIdsSaveFailed, language).arg("/tmp/rossi.scp", reason);
    EXPECT_TRUE(saved.contains("/tmp/rossi.scp"));
    EXPECT_TRUE(saved.contains(reason));
    const QString unread = StringText(kIdsNotAnScpRecord, language).arg("/tmp/rossi.scp");
    EXPECT_TRUE(unread.contains("/tmp/rossi.scp"));
    EXPECT_TRUE(unread.contains("SCP-ECG"));
  }
}

TEST_F(StringTable, SpeaksItalianForItalianLocalesOnly) {
  EXPECT_EQ(UiLanguageForLocale(QLocale(QLocale::Italian, QLocale::Italy)), UiLanguage::kItalian);
  EXPECT_EQ(UiLanguageForLocale(QLocale(QLocale::Italian, QLocale::Switzerland)),
            UiLanguage::kItalian);
  EXPECT_EQ(UiLanguageForLocale(QLocale(QLocale::English, QLocale::UnitedStates)),
            UiLanguage::kEnglish);
  EXPECT_EQ(UiLanguageForLocale(QLocale(QLocale::German, QLocale::Germany)), UiLanguage::kEnglish);
  EXPECT_EQ(UiLanguageForLocale(QLocale::c()), UiLanguage::kEnglish);
}

TEST_F(StringTable, UsesTheForcedLanguageUntilToldToFollowTheSystemAgain) {
  ForceUiLanguage(UiLanguage::kItalian);
  EXPECT_EQ(StringText(kIdsMeasureCaption), "MISURE");
  ForceUiLanguage(UiLanguage::kEnglish);
  EXPECT_EQ(StringText(kIdsMeasureCaption), "MEASUREMENT");
  FollowSystemUiLanguage();
  EXPECT_EQ(CurrentUiLanguage(), UiLanguageForLocale(QLocale::system()));
}

TEST_F(StringTable, AnswersTheFrameworkOnceInstalled) {
  SetResourceTable(QuillonResourceTable());
  ForceUiLanguage(UiLanguage::kItalian);
  EXPECT_EQ(LoadString(kIdsPatientCaption), "REFERTO ESAME");
  EXPECT_EQ(LoadString(5), "II");
  EXPECT_TRUE(LoadString(3).isEmpty());
  SetResourceTable(ResourceTable());
}

}  // namespace
