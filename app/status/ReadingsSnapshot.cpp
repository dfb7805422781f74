#include "ReadingsSnapshot.h"

#include "DravonRTU.h"

TReadingsSnapshot TReadingsSnapshot::Of(const TDravonPort& Port) {
    TReadingsSnapshot snapshot;
    for (std::size_t k = 0; k < REGISTERS.size(); ++k) {
        snapshot.FRegisters[k] = Port.Sauna->ReadTableREG(REGISTERS[k]);
        snapshot.FRegisterAges[k] = Port.AgeREG(REGISTERS[k]);
    }
    for (std::size_t k = 0; k < COILS.size(); ++k) {
        snapshot.FCoils[k] = Port.Sauna->ReadTableBIT(COILS[k]);
        snapshot.FCoilAges[k] = Port.AgeBIT(COILS[k]);
    }
    snapshot.FUnit = Port.SlaveAddr();
    return snapshot;
}
