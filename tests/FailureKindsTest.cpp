// Every way the road can end, as a script and a user are told it: each kind
// has its text, that text has its English, and its JSON code and exit code
// are the ones the help and the man page promise. A script tells failures
// apart by code alone, so no two kinds share one.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "catalogue/Fault.h"
#include "cli/Failure.h"
#include "translation/Language.h"
#include "translation/StatusTranslation.h"
#include "update/Phase.h"
#include "update/WrittenAdapter.h"

namespace {

using catalogue::Fault;
using update::Outcome;

struct Promised {
  std::string code;
  cli::ExitCode exit;
};

const std::map<Fault, Promised>& promisedForFaults() {
  static const std::map<Fault, Promised> promised = {
      {Fault::listNotRead, {"list-not-read", cli::kNotRead}},
      {Fault::listTooLarge, {"list-too-large", cli::kNotRead}},
      {Fault::listNotText, {"list-not-text", cli::kNotRead}},
      {Fault::listUnsigned, {"list-unsigned", cli::kNotRead}},
      {Fault::listSignatureMalformed, {"list-signature-malformed", cli::kNotRead}},
      {Fault::listUnknownKey, {"list-unknown-key", cli::kNotRead}},
      {Fault::listAltered, {"list-signature-bad", cli::kNotRead}},
      {Fault::listCommentAltered, {"list-comment-altered", cli::kNotRead}},
      {Fault::listExpired, {"list-expired", cli::kNotRead}},
      {Fault::listOtherFile, {"list-other-file", cli::kNotRead}},
      {Fault::entryIncomplete, {"entry-incomplete", cli::kNotRead}},
      {Fault::entryBadIds, {"entry-bad-ids", cli::kNotRead}},
      {Fault::entryBadDescriptionUrl, {"entry-bad-description-url", cli::kNotRead}},
      {Fault::entryBadVersion, {"entry-bad-version", cli::kNotRead}},
      {Fault::entryBadHash, {"entry-bad-hash", cli::kNotRead}},
      {Fault::entryBadSize, {"entry-bad-size", cli::kNotRead}},
      {Fault::entryHashMissing, {"entry-hash-missing", cli::kNotRead}},
      {Fault::descriptionNotRead, {"description-not-read", cli::kNotRead}},
      {Fault::descriptionTooLarge, {"description-too-large", cli::kNotRead}},
      {Fault::descriptionNotText, {"description-not-text", cli::kNotRead}},
      {Fault::imageBadUrl, {"image-bad-url", cli::kNotRead}},
      {Fault::imageNotRead, {"image-not-read", cli::kNotRead}},
      {Fault::imageTooLarge, {"image-too-large", cli::kNotRead}},
      {Fault::imageCheckFailed, {"image-refused", cli::kImageRefused}},
      {Fault::imageEmpty, {"image-empty", cli::kImageRefused}},
      {Fault::imageNotFirmware, {"image-not-firmware", cli::kImageRefused}},
  };
  return promised;
}

// What the adapter side ended with. Anything that left the adapter unwritten
// or half written is never exit 0.
const std::map<Outcome, Promised>& promisedForOutcomes() {
  static const std::map<Outcome, Promised> promised = {
      {Outcome::done, {"done", cli::kDone}},
      {Outcome::lensShown, {"done", cli::kDone}},
      {Outcome::noAdapter, {"no-adapter", cli::kNoAdapter}},
      {Outcome::severalAdapters, {"several-adapters", cli::kNoAdapter}},
      {Outcome::mismatch, {"mismatch", cli::kNoAdapter}},
      {Outcome::denied, {"access-denied", cli::kAccessDenied}},
      {Outcome::versionOutOfRange, {"version-out-of-range", cli::kImageRefused}},
      {Outcome::writeFailed, {"write-failed", cli::kAdapterFailed}},
      {Outcome::silent, {"went-quiet", cli::kAdapterFailed}},
      {Outcome::left, {"adapter-left", cli::kAdapterFailed}},
      {Outcome::busy, {"adapter-busy", cli::kNoAdapter}},
      {Outcome::interrupted, {"interrupted", cli::kAdapterFailed}},
      {Outcome::upToDate, {"up-to-date", cli::kDone}},
      {Outcome::olderThanAdapter, {"older-than-adapter", cli::kImageRefused}},
  };
  return promised;
}

TEST(FailureKinds, EveryFaultHasItsTextItsEnglishAndThePromisedCodes) {
  const auto english = translation::installTranslation(QLocale(QStringLiteral("en_US")));
  ASSERT_TRUE(english);
  for (int i = static_cast<int>(Fault::none) + 1; i <= static_cast<int>(catalogue::kLastFault); ++i) {
    const auto fault = static_cast<Fault>(i);
    const char* text = catalogue::textOf(fault);
    ASSERT_NE(text, nullptr) << "fault " << i;
    EXPECT_NE(translation::translatedStatus(text).toStdString(), text) << "no English for " << text;
    const auto promised = promisedForFaults().find(fault);
    ASSERT_NE(promised, promisedForFaults().end()) << "no promise for fault " << i << ": " << text;
    const cli::Failure failure = cli::failureOf(fault);
    EXPECT_EQ(failure.code, promised->second.code) << text;
    EXPECT_EQ(failure.exit, promised->second.exit) << text;
  }
  EXPECT_EQ(catalogue::textOf(Fault::none), nullptr);
}

TEST(FailureKinds, EveryOutcomeHasThePromisedCodes) {
  for (const auto& [outcome, promised] : promisedForOutcomes()) {
    const cli::Failure failure = cli::failureOf(outcome);
    EXPECT_EQ(failure.code, promised.code) << static_cast<int>(outcome);
    EXPECT_EQ(failure.exit, promised.exit) << promised.code;
  }
  EXPECT_EQ(promisedForOutcomes().size(), static_cast<std::size_t>(update::kLastOutcome) + 1);
}

// A written adapter's answer after its return; the one not back in time.
TEST(FailureKinds, EveryReturnHasItsEnglishAndThePromisedCodes) {
  const auto english = translation::installTranslation(QLocale(QStringLiteral("en_US")));
  ASSERT_TRUE(english);
  const std::map<update::Reseat, Promised> promised = {
      {update::Reseat::confirmed, {"confirmed", cli::kDone}},
      {update::Reseat::otherVersion, {"other-version", cli::kOtherVersion}},
      {update::Reseat::unanswered, {"quiet-after-reseat", cli::kAdapterFailed}},
  };
  for (const auto& [reseat, p] : promised) {
    EXPECT_EQ(cli::failureOf(reseat).code, p.code);
    EXPECT_EQ(cli::failureOf(reseat).exit, p.exit) << p.code;
    const std::string text = update::textOf({reseat, "1-2", {1, 2, 3}, update::reports::Version{1, 0, 7}});
    const std::string english = translation::translatedStatus(text).toStdString();
    EXPECT_NE(english, text.substr(2)) << "no English for " << text;
    if (reseat != update::Reseat::unanswered) {
      EXPECT_NE(english.find("1.0.7"), std::string::npos) << english;
    }
  }
  EXPECT_EQ(cli::kNotBackInTime.exit, 7);
}

// The only code two kinds share is success's own; "up-to-date" is a success a
// script can tell from a write.
TEST(FailureKinds, NoTwoFailuresShareACode) {
  std::multiset<std::string> codes;
  for (int i = static_cast<int>(Fault::none) + 1; i <= static_cast<int>(catalogue::kLastFault); ++i)
    codes.insert(cli::failureOf(static_cast<Fault>(i)).code);
  for (const auto& [outcome, promised] : promisedForOutcomes()) codes.insert(cli::failureOf(outcome).code);
  for (auto reseat : {update::Reseat::confirmed, update::Reseat::otherVersion, update::Reseat::unanswered})
    codes.insert(cli::failureOf(reseat).code);
  for (const cli::Failure& failure :
       {cli::kNotBackInTime, cli::kNotAMirror, cli::kMirrorNotWritten, cli::kMirrorUrlUnfit})
    codes.insert(failure.code);
  for (const std::string& code : codes)
    if (code != "done") {
      EXPECT_EQ(codes.count(code), 1u) << code;
    }
}

}  // namespace
