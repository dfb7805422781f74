#pragma once
#include "SimController.h"
#include "SimFrames.h"
#include "SimTime.h"

#include <functional>
#include <string>
#include <vector>

// The gateway with the four controllers behind it: routes each request by its unit identifier
// to a controller and answers functions 1 (read coils), 3 (read holding registers) and 6 (write
// one register), or with the exception Modbus gives for what it cannot serve.
class TSimGateway {
public:
    using TReport = std::function<void(const std::string&)>;

    // Controllers at units 1 to Units; with ZeroSetpoints each starts with both setpoints 0.
    TSimGateway(int Units, std::int64_t EditDelayMs, bool ZeroSetpoints, const TReport& Report);

    void AdvanceTo(const TSimTime& Now);

    TFrame Answer(const TModbusRequest& Req, const TSimTime& Now);

private:
    TFrame ReadCoils(const TModbusRequest& Req, const TSimController& Unit);
    TFrame ReadRegisters(const TModbusRequest& Req, const TSimController& Unit);
    TFrame WriteRegister(const TModbusRequest& Req, TSimController& Unit, const TSimTime& Now);
    TFrame Refuse(const TModbusRequest& Req, std::uint8_t Code, const std::string& Why);

    std::vector<TSimController> FUnits;
    TReport FReport;
};
