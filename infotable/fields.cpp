#include "infotable/fields.h"

bool IsVotingField(size_t position) { return position == kVotingSole || position == kVotingShared || position == kVotingNone; }

bool IsNumericField(size_t position) {
  return position == kValue || position == kSshPrnamt || IsVotingField(position);
}

const char* FieldCaption(size_t position) {
  static const char* const kCaptions[kInfoTableFieldCount] = {"Name of issuer",
                                                              "Title of class",
                                                              "CUSIP",
                                                              "Value",
                                                              "Shares or principal amount",
                                                              "SH/PRN",
                                                              "Put/Call",
                                                              "Investment discretion",
                                                              "Other managers",
                                                              "Voting authority sole",
                                                              "Voting authority shared",
                                                              "Voting authority none",
                                                              "FIGI"};
  return position < kInfoTableFieldCount ? kCaptions[position] : "";
}
