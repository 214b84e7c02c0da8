// Whether the service accepted the report. Pure; any thread; never throws.
#pragma once
#include <string_view>

// 1 exactly when the answer (the upload's raw body) is valid UTF-8 whose text is a JSON
// object with "errno" the JSON integer 200 (not 200.0, not "200") and "result" an object
// whose "data" is the string "ok"; 0 for everything else, whatever jsoncpp makes of it.
int IsAnswerAccepted(std::string_view answer);
