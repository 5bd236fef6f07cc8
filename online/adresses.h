#pragma once
// Addresses the online services open or fetch, and the two rules that keep them safe:
// every value put into a query is percent-encoded, and a link that came from a
// downloaded file is opened only when it is a web address.
#include <string>
#include <string_view>

namespace zentrafo {

// Base address of the author's server, without a trailing "/": the built-in one, or
// the value of the environment variable ZENTRAFO_SERVER when it is set and not empty.
std::string AdresseServeur();

// The discussion forum and the payment service are sites of their own.
inline constexpr std::string_view kAdresseForum = "https://forum.dravello.example";
inline constexpr std::string_view kAdresseDon = "https://dons.paiement.example";
inline constexpr std::string_view kBoutonDon = "ZNTRF2019DON";

// `value` as one query value: its UTF-8 bytes, with every byte other than the
// unreserved characters (letters, digits, "-", ".", "_", "~") written %XX.
std::string EncodeURL(std::string_view value);

// True for an absolute http or https address with a host, and nothing that a shell
// could take for something else (no blank, no control character).
bool EstLienWeb(std::string_view link);

} // namespace zentrafo
