// The field ids of request and reply records, by meaning. Internal to the connection library.
//
// An id keeps its meaning across most commands; where one command uses it for something else,
// that use has a name of its own for the same id. A record member that the client keeps without
// knowing what it means (AttrNN) is read by its id's name when the id has one elsewhere; ids that
// have none (the client stores or passes them as they come) are named after those members.
#pragma once

namespace protofield {

using FieldId = unsigned char;

// ---- Session and results ----
constexpr FieldId kSessionId = 171;
constexpr FieldId kSessionCode = 220;       // the set-up code of the cipher request
constexpr FieldId kContinue = 44;           // "Y" while more follows; a continuation's key
constexpr FieldId kResultCode = 240;        // decimal, at most 7 digits
constexpr FieldId kResultMessage = 255;     // UTF-8
constexpr FieldId kMessage = 228;           // UTF-8 text of a download header or a refusal

// ---- Session cipher ----
constexpr FieldId kPassPhrase = 9;          // 32 bytes: session or download key
constexpr FieldId kKeyBits = 3;
constexpr FieldId kCipherAlgorithm = 21;
constexpr FieldId kCipherMode = 22;

// ---- Log-in and session ----
constexpr FieldId kLanguage = 1;            // log-in language code; a language name in the list
constexpr FieldId kLoginFlag = 23;          // one character chosen by the log-in dialog
constexpr FieldId kResetPassword = 26;
constexpr FieldId kClientKind = 53;
constexpr FieldId kForceLogin = 76;
constexpr FieldId kGuestLogin = 79;
constexpr FieldId kLastLoginIp = 130;
constexpr FieldId kAdapterAddresses = 139;
constexpr FieldId kUserId = 169;
constexpr FieldId kPassword = 170;
constexpr FieldId kSessionInterval = 172;   // seconds to the next keep-alive
constexpr FieldId kNewPassword = 182;
constexpr FieldId kUserName = 183;
constexpr FieldId kPositionName = 185;
constexpr FieldId kLastLogin = 208;
constexpr FieldId kGroupFullPath = 239;

// Alert counters and the quota list.
constexpr FieldId kShortcutAlerts = 131;
constexpr FieldId kDeleteAlerts = 132;
constexpr FieldId kUpdateInterval = 224;    // seconds to the next alert and quota update
constexpr FieldId kShareAlerts = 226;
constexpr FieldId kDraftAlerts = 227;
constexpr FieldId kLinkAlerts = 233;
constexpr FieldId kApprovalAlerts = 234;
constexpr FieldId kQuota = 190;             // total bytes; a share's or guest's quota in MB
constexpr FieldId kUsedQuota = 191;

// ---- Domains, options and lists ----
constexpr FieldId kDomainIndex = 177;       // also the storage-area index of an item (DIDX)
constexpr FieldId kDomainLabel = 186;
constexpr FieldId kDomainAddress = 168;
constexpr FieldId kMainTitle = 217;
constexpr FieldId kMessageTitle = 218;
constexpr FieldId kCustomerCode = 216;
constexpr FieldId kServerVersion = 164;
constexpr FieldId kWebLogin = 153;
constexpr FieldId kConnectTimeout = 149;
constexpr FieldId kSocketTimeout = 150;
constexpr FieldId kRetryTimeout = 147;
constexpr FieldId kRetryCount = 148;
constexpr FieldId kServerIn = 145;
constexpr FieldId kServerOut = 146;
constexpr FieldId kLoginOption = 137;
constexpr FieldId kTitlebarColor = 134;
constexpr FieldId kUpdateUrl = 236;
constexpr FieldId kAdDomain = 129;
constexpr FieldId kFileVersion = 229;
constexpr FieldId kFileHash = 230;
constexpr FieldId kUpdatePort = 155;

// ---- Items: folders and files ----
constexpr FieldId kIndex = 173;             // IDX of an item, a shortcut, a backup PC
constexpr FieldId kItemType = 25;           // "D" a folder
constexpr FieldId kName = 181;              // UTF-8
constexpr FieldId kPath = 197;              // UTF-8
constexpr FieldId kCreated = 187;           // time text
constexpr FieldId kModified = 188;          // time text
constexpr FieldId kSize = 192;              // decimal bytes
constexpr FieldId kAccessTime = 157;
constexpr FieldId kDirCount = 166;
constexpr FieldId kFileCount = 167;
constexpr FieldId kLinkCount = 227;
constexpr FieldId kPrivacyCount = 235;
constexpr FieldId kListFlag = 73;           // the listing's "Y" option
constexpr FieldId kChanged = 75;            // the change check's answer
constexpr FieldId kReceivedCount = 201;

// ---- File operations, properties, versions, search ----
constexpr FieldId kMode = 34;               // the caller's one-letter choice (overwrite, conflict, position)
constexpr FieldId kPasteAction = 35;        // "C" copy, "M" move
constexpr FieldId kDeleteMode = 36;
constexpr FieldId kNameTaken = 43;          // "Y": an item of that name is there already
constexpr FieldId kSourceFolder = 174;
constexpr FieldId kTargetFolder = 180;
constexpr FieldId kConfirm = 29;
constexpr FieldId kVersion = 209;           // an item's stored version (also the download item text)
constexpr FieldId kContentSearch = 54;
constexpr FieldId kDateFrom = 11;
constexpr FieldId kDateTo = 12;
constexpr FieldId kSizeFrom = 221;
constexpr FieldId kSizeTo = 222;
constexpr FieldId kExcerpt = 219;           // a search hit's shown text

// ---- Transfers ----
constexpr FieldId kOffset = 204;
constexpr FieldId kChecksum = 205;
constexpr FieldId kDownloadAnswer = 40;
constexpr FieldId kBandwidth = 238;

// ---- Shortcuts and limits ----
constexpr FieldId kShortcutAdd = 99;        // "Y" add, "N" remove
constexpr FieldId kSendFileFlag = 87;
constexpr FieldId kDirectEdit = 95;

// ---- Users, groups and shares ----
constexpr FieldId kMemberType = 24;         // "U" user, "G" group
constexpr FieldId kMemberCode = 175;
constexpr FieldId kGroupId = 176;
constexpr FieldId kGroupName = 184;
constexpr FieldId kListOption = 38;
constexpr FieldId kSearchOption = 72;
constexpr FieldId kPermission = 5;          // four-digit permission word
constexpr FieldId kWrite = 154;             // "2" write sharing allowed, "0" not
constexpr FieldId kShare = 29;              // "Y" shared
constexpr FieldId kSharePassword = 198;     // ANSI
constexpr FieldId kPeriodFrom = 11;
constexpr FieldId kPeriodTo = 12;
constexpr FieldId kMemberCount = 203;
constexpr FieldId kFreeQuota = 207;
constexpr FieldId kVersioning = 31;
constexpr FieldId kShareOption = 45;
constexpr FieldId kAutoDelete = 37;
constexpr FieldId kAutoDeleteCount = 199;
constexpr FieldId kRecycle = 51;
constexpr FieldId kMaster = 52;

// ---- Guests ----
constexpr FieldId kIsNew = 39;              // "Y" new, "N" a change
constexpr FieldId kEmail = 193;
constexpr FieldId kGuestStatus = 47;
constexpr FieldId kDate = 13;               // ten-character date text

// ---- Links ----
constexpr FieldId kLinkMode = 42;           // "C" create, "M" change, "D" remove
constexpr FieldId kLinkId = 7;              // 20 bytes
constexpr FieldId kExpiry = 13;             // ten-character date text
constexpr FieldId kLinkPassword = 194;      // UTF-8
constexpr FieldId kDownloadLimit = 195;
constexpr FieldId kUrl = 196;

// ---- Stored as they come; named after their record members ----
constexpr FieldId kAttr27 = 27;
constexpr FieldId kAttr28 = 28;
constexpr FieldId kAttr30 = 30;
constexpr FieldId kAttr33 = 33;
constexpr FieldId kAttr46 = 46;
constexpr FieldId kAttr50 = 50;
constexpr FieldId kAttr55 = 55;
constexpr FieldId kAttr62 = 62;
constexpr FieldId kAttr70 = 70;
constexpr FieldId kAttr138 = 138;
constexpr FieldId kAttr141 = 141;
constexpr FieldId kAttr142 = 142;
constexpr FieldId kAttr158 = 158;
constexpr FieldId kAttr178 = 178;
constexpr FieldId kAttr179 = 179;
constexpr FieldId kAttr189 = 189;
constexpr FieldId kAttr223 = 223;
constexpr FieldId kAttr225 = 225;
constexpr FieldId kAttr231 = 231;
constexpr FieldId kAttr232 = 232;
constexpr FieldId kAttr237 = 237;
constexpr FieldId kAttr239 = 239;

}
