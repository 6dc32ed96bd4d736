// The host's trace source functions (open, close, output, and the fourth one the
// plug-in only keeps).
#include <cstdarg>

#include "host/ZorvLookup.h"
#include "hostsim/imports/ArgText.h"
#include "hostsim/Host.h"
#include "hostsim/imports/HostFunctionNames.h"
#include "hostsim/imports/HostFunctions.h"
#include "hostsim/TextConvert.h"
#include "hostsim/control/TraceFormat.h"

namespace hostsim {
namespace {

ZResult ZORV_STDCALL OpenTraceSource(uint32_t traceClass, int32_t moduleId, uint32_t ecuAddress,
                                     uint32_t reserved, ZTraceId* traceId) {
    int32_t forced = Enter(names::kOpenTraceSource, {arg::Num(traceClass), arg::Num(moduleId),
                                                     arg::Num(ecuAddress), arg::Num(reserved),
                                                     arg::Out(traceId)});
    if (forced != 0) return static_cast<ZResult>(forced);
    ZTraceId id = TheHost().traces.Open();
    if (traceId != nullptr) *traceId = id;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL CloseTraceSource(ZTraceId traceId) {
    int32_t forced = Enter(names::kCloseTraceSource, {arg::Num(traceId)});
    if (forced != 0) return static_cast<ZResult>(forced);
    return TheHost().traces.Close(traceId) ? kZorvSuccess : kResultNotFound;
}

ZResult ZORV_CDECL TraceOutput(ZTraceId traceId, int32_t level, ZResult code, const wchar_t* format,
                               ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = FormatWindowsWide(format, args);
    va_end(args);
    std::string utf8 = WideToUtf8(text);
    int32_t forced = Enter(names::kTraceOutput, {arg::Num(traceId), arg::Num(level), arg::Num(code),
                                                 arg::Text(format), "\"" + utf8 + "\""});
    TheHost().traces.Write(TraceLine{traceId, level, code, std::move(utf8)});
    return static_cast<ZResult>(forced);
}

// The fourth trace function is never called by the plug-in; the host only needs to
// hand out an address for it.
ZResult ZORV_STDCALL TraceReserved() { return static_cast<ZResult>(Enter("TraceReserved", {})); }

}  // namespace

void AddTraceFunctions(HostFunctionList& list) {
    list.push_back({zorv::kLookupOpenTraceSource, AddressAs<zorv::OpenTraceSourceFn>(&OpenTraceSource)});
    list.push_back({zorv::kLookupCloseTraceSource, AddressAs<zorv::CloseTraceSourceFn>(&CloseTraceSource)});
    list.push_back({zorv::kLookupTraceOutput, AddressAs<zorv::TraceOutputFn>(&TraceOutput)});
    list.push_back({zorv::kLookupTraceReserved, AddressAs<ZResult(ZORV_STDCALL*)()>(&TraceReserved)});
}

}  // namespace hostsim
