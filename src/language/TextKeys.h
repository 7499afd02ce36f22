#pragma once
// Every text the program takes from a language file, by name: a misspelt
// name does not compile, and each section/key pair is written only here.

#include <string_view>

namespace dovoviza {

// A text of the language file.
struct TextKey {
    std::string_view section;
    std::string_view key;
};

namespace lang {

// [LANGUAGE]
inline constexpr TextKey kCharacterSet{"LANGUAGE", "CharacterSet"};
inline constexpr TextKey kTranslator{"LANGUAGE", "translator"};
inline constexpr TextKey kTranslatorEmail{"LANGUAGE", "e-mail"};
inline constexpr TextKey kTranslatorWeb{"LANGUAGE", "web"};
// [Main]
inline constexpr TextKey kMenuFile{"Main", "1"};
inline constexpr TextKey kMenuNewItem{"Main", "2"};
inline constexpr TextKey kMenuEditItem{"Main", "3"};
inline constexpr TextKey kMenuDisable{"Main", "4"};
inline constexpr TextKey kMenuEnable{"Main", "5"};
inline constexpr TextKey kMenuDelete{"Main", "6"};
inline constexpr TextKey kMenuExecute{"Main", "7"};
inline constexpr TextKey kMenuProperties{"Main", "8"};
inline constexpr TextKey kMenuExit{"Main", "9"};
inline constexpr TextKey kMenuOptions{"Main", "10"};
inline constexpr TextKey kMenuRefresh{"Main", "11"};
inline constexpr TextKey kMenuRunWithWindows{"Main", "12"};
inline constexpr TextKey kMenuRunMinimized{"Main", "13"};
inline constexpr TextKey kMenuHelp{"Main", "14"};
inline constexpr TextKey kMenuHelpFile{"Main", "15"};
inline constexpr TextKey kMenuUpdate{"Main", "16"};
inline constexpr TextKey kMenuAbout{"Main", "18"};
inline constexpr TextKey kColumnName{"Main", "19"};
inline constexpr TextKey kColumnValue{"Main", "20"};
inline constexpr TextKey kColumnSection{"Main", "21"};
inline constexpr TextKey kColumnStatus{"Main", "22"};
inline constexpr TextKey kColumnProductName{"Main", "23"};
inline constexpr TextKey kColumnDescription{"Main", "24"};
inline constexpr TextKey kColumnCompany{"Main", "25"};
inline constexpr TextKey kColumnVersion{"Main", "26"};
inline constexpr TextKey kColumnProcessPath{"Main", "27"};
inline constexpr TextKey kColumnFileSize{"Main", "28"};
inline constexpr TextKey kColumnDateCreated{"Main", "29"};
inline constexpr TextKey kColumnDateAccessed{"Main", "30"};
inline constexpr TextKey kColumnDateModified{"Main", "31"};
inline constexpr TextKey kColumnLocation{"Main", "32"};
inline constexpr TextKey kStatusMonitoring{"Main", "33"};
inline constexpr TextKey kStatusItems{"Main", "34"};
inline constexpr TextKey kStatusDisabled{"Main", "35"};
inline constexpr TextKey kFileNotFound{"Main", "36"};
inline constexpr TextKey kDisabledWord{"Main", "37"};
inline constexpr TextKey kDisabledNotEditable{"Main", "38"};
inline constexpr TextKey kEditCaption{"Main", "39"};
inline constexpr TextKey kAlreadyDisabled{"Main", "40"};
inline constexpr TextKey kAlreadyEnabled{"Main", "41"};
inline constexpr TextKey kDeleteRegistryCaption{"Main", "42"};
inline constexpr TextKey kDeleteFolderCaption{"Main", "43"};
inline constexpr TextKey kHelpCaption{"Main", "44"};
inline constexpr TextKey kHelpMissing{"Main", "45"};
inline constexpr TextKey kLanguageCaption{"Main", "46"};
inline constexpr TextKey kNewVersion{"Main", "47"};
inline constexpr TextKey kDownloadQuestion{"Main", "48"};
inline constexpr TextKey kLatestVersion{"Main", "49"};
inline constexpr TextKey kMoveTargetExists{"Main", "50"};
inline constexpr TextKey kMoveFailed{"Main", "51"};
inline constexpr TextKey kDeleteFailed{"Main", "52"};
inline constexpr TextKey kStartFailed{"Main", "53"};
inline constexpr TextKey kInternalFailure{"Main", "54"};
inline constexpr TextKey kNotTextNotEditable{"Main", "55"};
inline constexpr TextKey kMoveInUse{"Main", "56"};
inline constexpr TextKey kMoveFolderInTheWay{"Main", "57"};
inline constexpr TextKey kMoveSourceMissing{"Main", "58"};
inline constexpr TextKey kMoveAccessDenied{"Main", "59"};
inline constexpr TextKey kLanguageFileIncomplete{"Main", "60"};
inline constexpr TextKey kSkippedByWindows{"Main", "61"};
inline constexpr TextKey kWindowsFlagNotCleared{"Main", "62"};
inline constexpr TextKey kMenuExport{"Main", "63"};
inline constexpr TextKey kExportFailed{"Main", "64"};
inline constexpr TextKey kExportUsage{"Main", "65"};
inline constexpr TextKey kExportCsvFiles{"Main", "66"};
inline constexpr TextKey kExportJsonFiles{"Main", "67"};
inline constexpr TextKey kMenuHistory{"Main", "68"};
// [History]
inline constexpr TextKey kHistoryCaption{"History", "1"};
inline constexpr TextKey kHistoryTime{"History", "2"};
inline constexpr TextKey kHistoryAction{"History", "3"};
inline constexpr TextKey kHistoryPlace{"History", "4"};
inline constexpr TextKey kHistoryName{"History", "5"};
inline constexpr TextKey kHistoryCommand{"History", "6"};
inline constexpr TextKey kHistoryRestore{"History", "7"};
inline constexpr TextKey kHistoryClose{"History", "8"};
inline constexpr TextKey kHistoryOccupied{"History", "9"};
inline constexpr TextKey kHistoryCopyMissing{"History", "10"};
inline constexpr TextKey kHistoryNotRestorable{"History", "11"};
inline constexpr TextKey kHistoryFailed{"History", "12"};
inline constexpr TextKey kHistoryAlreadyThere{"History", "13"};
// [About]
inline constexpr TextKey kAboutCaption{"About", "1"};
inline constexpr TextKey kAboutVersion{"About", "2"};
inline constexpr TextKey kAboutCopyright{"About", "4"};
inline constexpr TextKey kAboutClose{"About", "6"};
// [Add]
inline constexpr TextKey kAddCaption{"Add", "1"};
inline constexpr TextKey kAddName{"Add", "2"};
inline constexpr TextKey kAddValue{"Add", "3"};
inline constexpr TextKey kAddSection{"Add", "4"};
inline constexpr TextKey kAddParameters{"Add", "5"};
inline constexpr TextKey kAddOk{"Add", "6"};
inline constexpr TextKey kAddCancel{"Add", "7"};
inline constexpr TextKey kAddBrowseTitle{"Add", "8"};
inline constexpr TextKey kAddNameAndValueNeeded{"Add", "9"};
inline constexpr TextKey kAddCannotSave{"Add", "10"};
inline constexpr TextKey kAddSectionNeeded{"Add", "11"};
inline constexpr TextKey kAddReplaceQuestion{"Add", "12"};
inline constexpr TextKey kAddAlreadyExists{"Add", "13"};
inline constexpr TextKey kAddProgramMissing{"Add", "14"};
inline constexpr TextKey kAddKeyMissing{"Add", "15"};
inline constexpr TextKey kAddSaveFailed{"Add", "16"};
inline constexpr TextKey kAddOldKept{"Add", "17"};
// [Alert]
inline constexpr TextKey kAlertHeading{"Alert", "1"};
inline constexpr TextKey kAlertSubHeading{"Alert", "2"};
inline constexpr TextKey kAlertSection{"Alert", "3"};
inline constexpr TextKey kAlertName{"Alert", "4"};
inline constexpr TextKey kAlertValue{"Alert", "5"};
inline constexpr TextKey kAlertDetails{"Alert", "6"};
inline constexpr TextKey kAlertAllow{"Alert", "7"};
inline constexpr TextKey kAlertDisable{"Alert", "8"};
inline constexpr TextKey kAlertDelete{"Alert", "9"};
inline constexpr TextKey kAlertFileNotFound{"Alert", "10"};
inline constexpr TextKey kAlertDeleteRegistryCaption{"Alert", "11"};
inline constexpr TextKey kAlertDeleteFolderCaption{"Alert", "12"};
inline constexpr TextKey kAlertFile{"Alert", "13"};
inline constexpr TextKey kAlertReplaces{"Alert", "14"};
// [Splash]
inline constexpr TextKey kUnsupportedWindows{"Splash", "5"};
// [Tray]
inline constexpr TextKey kTrayOpen{"Tray", "1"};
inline constexpr TextKey kTrayExit{"Tray", "2"};
inline constexpr TextKey kLanguageDialogCaption{"Tray", "3"};
inline constexpr TextKey kLanguageSelect{"Tray", "4"};
inline constexpr TextKey kLanguageApply{"Tray", "5"};
inline constexpr TextKey kLanguageCancel{"Tray", "6"};
inline constexpr TextKey kLanguageNextStart{"Tray", "7"};
inline constexpr TextKey kLanguageNextStartCaption{"Tray", "8"};
inline constexpr TextKey kLanguageNotStored{"Tray", "9"};

}  // namespace lang

}  // namespace dovoviza
