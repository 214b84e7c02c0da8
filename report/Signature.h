// The request signature, shared with the reference service that checks it.
// Depends on MD5 alone. Pure; any thread.
#pragma once
#include <string>
#include <string_view>

// Built into the program; it never travels, it only enters the signature.
inline constexpr char kSigningKey[] = "5f0c7be1d94a3e286c1b0a7d4e9f3c52";
// The upload path without its leading "/resty/".
inline constexpr char kSigningPath[] = "v1.0.0/driver/ostrel/uploadBugFile";
inline constexpr char kSigningSeparator[] = "|";

// serverTime + the last 18 hex characters of
// MD5(kSigningPath | MD5(paramsBlock) | kSigningKey | serverTime).
// The server time is the time request's whole body, byte for byte (empty when it failed).
std::string MakeSignature(std::string_view paramsBlock, std::string_view serverTime);
