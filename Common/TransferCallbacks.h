// The libcurl callbacks that connect a transfer to its TransferContext. Called by libcurl on the
// transfer's thread, inside curl_easy_perform.
#pragma once
#include <curl/curl.h>

// Value that makes libcurl abort the transfer with CURLE_ABORTED_BY_CALLBACK.
inline constexpr int kProgressAbort = 42;

// CURLOPT_PROGRESSFUNCTION: forwards the figures to the callback object once a total is known.
int ReportProgress(void* context, double downloadTotal, double downloadNow, double uploadTotal, double uploadNow);

// CURLOPT_OPENSOCKETFUNCTION: opens the connection's socket only while the callback object lives.
curl_socket_t OpenSocket(void* context, curlsocktype purpose, struct curl_sockaddr* address);
