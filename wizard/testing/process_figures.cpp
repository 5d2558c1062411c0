#include "process_figures.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/handles.h"

namespace twdrive {
namespace {

using QuerySystemInformation = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
using QueryThread = NTSTATUS(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

constexpr ULONG kSystemHandleInformation = 16;
constexpr ULONG kProcessBasicInformation = 0;
constexpr ULONG kThreadBasicInformation = 0;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

template <typename F>
F NtFunction(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), name)));
}

// One entry of the system's handle list (SystemHandleInformation).
struct SystemHandle {
  ULONG processId;
  UCHAR objectType;
  UCHAR flags;
  USHORT value;
  PVOID object;
  ACCESS_MASK access;
};

// Wine's GDI handle table entry (ntgdi.h): 0x10000 of them; a live entry
// has a non-zero type.
struct GdiEntry {
  uint64_t object;
  ULONG owner;
  USHORT unique;
  UCHAR type;
  UCHAR flags;
  uint64_t userPointer;
};
static_assert(sizeof(GdiEntry) == 24, "Wine's GDI handle table entry is 24 bytes");
constexpr size_t kGdiEntries = 0x10000;

// Offsets of the fields that lead to the table: the PEB's
// GdiSharedHandleTable in this build's own bitness, and for a 32-bit
// process under Wine's 64-bit prefix the way over its 64-bit TEB and PEB
// (the 32-bit TEB's GdiBatchCount holds the 64-bit TEB's address).
#ifdef _WIN64
constexpr size_t kPebGdiTable = 0xF8;
#else
constexpr size_t kPebGdiTable = 0x94;
constexpr size_t kTeb32GdiBatchCount = 0xF70;
constexpr size_t kTeb64Peb = 0x60;
constexpr size_t kPeb64GdiTable = 0xF8;
#endif

template <typename T>
bool ReadRemote(HANDLE process, uint64_t address, T* out) {
  SIZE_T done = 0;
  return address != 0 && address == static_cast<uintptr_t>(address) &&
         ::ReadProcessMemory(process, reinterpret_cast<const void*>(static_cast<uintptr_t>(address)), out,
                             sizeof(T), &done) &&
         done == sizeof(T);
}

uint64_t GdiTableAddress(HANDLE process, DWORD processId) {
  const auto queryProcess = NtFunction<QueryProcess>("NtQueryInformationProcess");
  PROCESS_BASIC_INFORMATION basic{};
  ULONG length = 0;
  if (!queryProcess || queryProcess(process, kProcessBasicInformation, &basic, sizeof(basic), &length) != 0) return 0;
  uintptr_t table = 0;
  if (ReadRemote(process, reinterpret_cast<uintptr_t>(basic.PebBaseAddress) + kPebGdiTable, &table) && table) {
    return table;
  }
#ifdef _WIN64
  (void)processId;
  return 0;
#else
  // Any thread of the process leads to its 64-bit TEB.
  tw::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  const auto queryThread = NtFunction<QueryThread>("NtQueryInformationThread");
  for (BOOL more = ::Thread32First(snapshot.get(), &entry); more && queryThread;
       more = ::Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID != processId) continue;
    tw::UniqueHandle thread(::OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID));
    struct {
      NTSTATUS exitStatus;
      PVOID teb;
      CLIENT_ID client;
      ULONG_PTR affinity;
      LONG priority, basePriority;
    } info{};
    if (!thread || queryThread(thread.get(), kThreadBasicInformation, &info, sizeof(info), &length) != 0) continue;
    ULONG teb64 = 0;
    uint64_t peb64 = 0, table64 = 0;
    if (ReadRemote(process, reinterpret_cast<uintptr_t>(info.teb) + kTeb32GdiBatchCount, &teb64) &&
        ReadRemote(process, uint64_t{teb64} + kTeb64Peb, &peb64) &&
        ReadRemote(process, peb64 + kPeb64GdiTable, &table64)) {
      return table64;
    }
    return 0;
  }
  return 0;
#endif
}

BOOL CALLBACK CountChild(HWND, LPARAM param) {
  ++*reinterpret_cast<unsigned*>(param);
  return TRUE;
}

struct TopSearch {
  DWORD processId;
  WindowCount* count;
};
BOOL CALLBACK CountTop(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TopSearch*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  ++search->count->topLevel;
  ::EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&search->count->children));
  return TRUE;
}

}  // namespace

std::optional<HandleCount> CountHandles(DWORD processId) {
  tw::UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
  DWORD count = 0;
  if (process && ::GetProcessHandleCount(process.get(), &count) && count > 0) return HandleCount{count, false};
  // No process holds no handle at all: 0 means the call is not implemented.
  const auto query = NtFunction<QuerySystemInformation>("NtQuerySystemInformation");
  if (!query) return std::nullopt;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ULONG needed = 0;
    const NTSTATUS status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == kInfoLengthMismatch && buffer.size() < (64u << 20)) {
      buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
      continue;
    }
    if (status != 0) return std::nullopt;
    break;
  }
  ULONG entries = 0;
  std::memcpy(&entries, buffer.data(), sizeof(entries));
  const size_t first = sizeof(void*);  // the count, padded to the entries' alignment
  if (first + size_t{entries} * sizeof(SystemHandle) > buffer.size()) return std::nullopt;
  HandleCount result{0, true};
  for (ULONG i = 0; i < entries; ++i) {
    SystemHandle handle;
    std::memcpy(&handle, buffer.data() + first + i * sizeof(SystemHandle), sizeof(handle));
    if (handle.processId == processId) ++result.count;
  }
  if (result.count == 0) return std::nullopt;
  return result;
}

std::optional<PrivateBytes> CountPrivateBytes(DWORD processId) {
  tw::UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  if (!process ||
      !::GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters))) {
    return std::nullopt;
  }
  if (counters.PrivateUsage != 0) return PrivateBytes{counters.PrivateUsage, false};
  if (counters.PagefileUsage != 0) return PrivateBytes{counters.PagefileUsage, true};
  return std::nullopt;
}

std::optional<DWORD> GuiResources(DWORD processId, DWORD which) {
  tw::UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
  if (!process) return std::nullopt;
  ::SetLastError(ERROR_SUCCESS);
  const DWORD count = ::GetGuiResources(process.get(), which);
  if (count == 0 && ::GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) return std::nullopt;
  return count;
}

std::optional<DWORD> WineGdiTableCount(DWORD processId) {
  tw::UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  if (!process) return std::nullopt;
  const uint64_t address = GdiTableAddress(process.get(), processId);
  if (address == 0 || address != static_cast<uintptr_t>(address)) return std::nullopt;
  std::vector<GdiEntry> table(kGdiEntries);
  SIZE_T done = 0;
  if (!::ReadProcessMemory(process.get(), reinterpret_cast<const void*>(static_cast<uintptr_t>(address)), table.data(),
                           table.size() * sizeof(GdiEntry), &done) ||
      done != table.size() * sizeof(GdiEntry)) {
    return std::nullopt;
  }
  DWORD live = 0;
  for (const GdiEntry& entry : table) live += entry.type != 0 ? 1 : 0;
  return live;
}

bool WineGdiTableFollowsThisProcess() {
  constexpr DWORD kBrushes = 8;
  const DWORD self = ::GetCurrentProcessId();
  const std::optional<DWORD> before = WineGdiTableCount(self);
  if (!before) return false;
  std::array<HBRUSH, kBrushes> brushes{};
  for (HBRUSH& brush : brushes) brush = ::CreateSolidBrush(RGB(1, 2, 3));
  const std::optional<DWORD> during = WineGdiTableCount(self);
  for (HBRUSH brush : brushes) ::DeleteObject(brush);
  const std::optional<DWORD> after = WineGdiTableCount(self);
  return during && after && *during == *before + kBrushes && *after == *before;
}

WindowCount CountWindows(DWORD processId) {
  WindowCount count;
  TopSearch search{processId, &count};
  ::EnumWindows(CountTop, reinterpret_cast<LPARAM>(&search));
  for (HWND window = ::FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = ::FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == processId) ++count.messageOnly;
  }
  return count;
}

std::optional<OwnerCounts> ReadOwnerCounts(DWORD processId) {
  using tw::owners::Table;
  const Table* table = nullptr;
  {
    // The view keeps the section; the handle goes before the counts are
    // read, so that a reader in a test build does not count itself.
    tw::UniqueHandle section(::OpenFileMappingW(FILE_MAP_READ, FALSE, tw::owners::SectionName(processId).c_str()));
    if (!section) return std::nullopt;
    table = static_cast<const Table*>(::MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, sizeof(Table)));
  }
  if (!table) return std::nullopt;
  std::optional<OwnerCounts> counts;
  if (table->magic == Table::kMagic && table->kinds == tw::owners::kKindCount) {
    counts.emplace();
    for (size_t kind = 0; kind < counts->size(); ++kind) (*counts)[kind] = table->live[kind];
  }
  ::UnmapViewOfFile(table);
  return counts;
}

long Total(const OwnerCounts& counts) {
  long total = 0;
  for (long count : counts) total += count;
  return total;
}

std::wstring Describe(const OwnerCounts& counts) {
  std::wstring text;
  for (uint32_t kind = 0; kind < counts.size(); ++kind) {
    if (counts[kind] == 0) continue;
    if (!text.empty()) text += L", ";
    text += std::wstring(tw::owners::KindName(kind)) + L" " + std::to_wstring(counts[kind]);
  }
  return text.empty() ? L"none" : text;
}

}  // namespace twdrive
