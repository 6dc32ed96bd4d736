#include "hostsim/HostFunctions.h"

namespace hostsim {

const HostFunctionList& HostFunctions() {
    static const HostFunctionList list = [] {
        HostFunctionList all;
        AddTraceFunctions(all);
        AddBusFunctions(all);
        AddFaultFunctions(all);
        AddReportFunctions(all);
        return all;
    }();
    return list;
}

}  // namespace hostsim
