#pragma once
// Error codes of the file object and their default texts.

enum VZynError {
  kZynErrorNone = -1,
  kZynErrorCorrupted = 0,
  kZynErrorVersionNotYet = 1,
  kZynErrorVersionNoMore = 2,
  kZynErrorNotOpened = 3,
  kZynErrorNotCreated = 4,
  kZynErrorDirectory = 5,
  kZynErrorCrc = 6,
  kZynErrorNoSection = 7,
  kZynErrorCanceled = 8,
  kZynErrorCount = 9,
  kZynErrorInvalidData = 10,
  kZynErrorNoSpace = 11,
  kZynErrorRead = 12,
  // A protected file was asked for data without its password.
  kZynErrorPassword = 13,
};

// "File is corrupted", "File version is not supported yet", ...; "" for none.
const char* VZynErrorText(int code);
