// The log's line reader and its ring arithmetic.
//
// Input: a stored log line (8-bit, or UTF-16 after FF FE).
//
// Properties: a line with fewer than five TABs is refused; otherwise the
// first six fields hold no TAB and, joined again by TABs with the message,
// give back the line (a line with exactly five TABs has an empty message and
// lost its last TAB); a line formatted from the parsed fields reads back as
// the same fields; the ring's next index never leaves 1..1000.
#include <algorithm>
#include <string>

#include "app/core/log_format.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text = fuzz::TextOfBytes(data, size);
  const auto entry = tw::ParseLogLine(text);
  const size_t tabs = static_cast<size_t>(std::count(text.begin(), text.end(), L'\t'));
  FUZZ_CHECK(entry.has_value() == (tabs >= 5));
  if (entry) {
    const tw::LogEntry& e = *entry;
    std::wstring joined;
    for (const std::wstring* field : {&e.time, &e.module, &e.processId, &e.threadId, &e.function, &e.line}) {
      FUZZ_CHECK(field->find(L'\t') == std::wstring::npos);
      joined += *field + L"\t";
    }
    if (tabs == 5) {
      FUZZ_CHECK(e.message.empty());
      joined.pop_back();
    }
    FUZZ_CHECK(joined + e.message == text);

    // Fields written by the logger (numbers in their fields) read back whole.
    const tw::LogTime time{2024, 1, 2, 3, 4, 5, 6};
    const std::wstring line = tw::FormatLogLine(time, e.module, static_cast<int32_t>(size), -7, e.function,
                                                static_cast<uint32_t>(tabs), e.message);
    const auto back = tw::ParseLogLine(line);
    FUZZ_CHECK(back && back->module == e.module && back->function == e.function && back->message == e.message);
    FUZZ_CHECK(back->time == tw::FormatLogTime(time) && back->threadId == L"-7");
  }
  uint32_t index = 0;
  for (size_t i = 0; i < 4 && i < size; ++i) index = (index << 8) | data[i];
  const uint32_t next = tw::NextLogIndex(index);
  FUZZ_CHECK(next >= 1 && next <= tw::kLogRingSize);
  FUZZ_CHECK(next == (index >= 1 && index < tw::kLogRingSize ? index + 1 : 1));
  return 0;
}
