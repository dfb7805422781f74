#pragma once
// The sauna controller's register map: every holding register, coil and command code the
// panel uses, the poll set and the edit block. Numbers are protocol addresses and also the
// 0-based index into the controller image. All numbers are per sauna (per slave address).

// Holding registers (16-bit words, read unsigned).
constexpr int REG_COMMAND = 2;            // command register: the panel writes a command code
constexpr int REG_TEMP_SET = 14;          // temperature setpoint, tenths of °C
constexpr int REG_TEMP_ACT = 15;          // measured temperature, tenths of °C
constexpr int REG_CONFIG_TYPE = 40;       // 10, 20, 60: no selectable heating mode
constexpr int REG_AROMA_AVAIL = 41;       // aroma output fitted when not 0
constexpr int REG_VENT_AVAIL = 42;        // vent output fitted when not 0
constexpr int REG_LIGHT2_AVAIL = 43;      // light 2 output fitted when not 0
constexpr int REG_HEAT_MODE = 46;         // heating mode 0 to 3
constexpr int REG_WORK_TIME_SET = 55;     // work time setpoint, minutes
constexpr int REG_CONTROLLER_TYPE = 100;  // controller model code
constexpr int REG_FIRMWARE_VERSION = 101; // program version, shown in hexadecimal with a point
constexpr int REG_EDIT_VALUE = 102;       // edit block: the value being edited
constexpr int REG_EDIT_MIN = 103;         // edit block: lowest allowed value
constexpr int REG_EDIT_MAX = 104;         // edit block: highest allowed value
constexpr int REG_EDIT_STEP = 107;        // edit block: step of the up and down buttons
constexpr int REG_WORK_TIMER = 118;       // elapsed work time, minutes

// Coils (read only).
constexpr int BIT_HEATER = 41;
constexpr int BIT_LIGHT1 = 42;
constexpr int BIT_LIGHT2 = 43;
constexpr int BIT_AROMA = 46;
constexpr int BIT_VENT = 47;

// Command codes, each written into REG_COMMAND with one function-6 write.
constexpr int CMD_HEAT_MODE = 11;   // step the heating mode
constexpr int CMD_HEATER = 110;     // switch the heater over
constexpr int CMD_LIGHT1 = 111;     // switch light 1 over
constexpr int CMD_LIGHT2 = 112;     // switch light 2 over
constexpr int CMD_AROMA = 115;      // switch aroma over
constexpr int CMD_VENT = 116;       // switch the vent over
constexpr int CMD_EDIT_TEMP = 230;  // load the temperature setpoint into the edit block
constexpr int CMD_EDIT_TIME = 255;  // load the work time setpoint into the edit block
constexpr int CMD_STORE_TEMP = 330; // store the edit value as the temperature setpoint
constexpr int CMD_STORE_TIME = 331; // store the edit value as the work time setpoint

// Configuration types without a selectable heating mode.
constexpr int CONFIG_TYPE_FIXED_A = 10;
constexpr int CONFIG_TYPE_FIXED_B = 20;
constexpr int CONFIG_TYPE_FIXED_C = 60;

// The edit block: registers 102 to 108, read as one block during setpoint editing.
constexpr int EDIT_BLOCK_FIRST = 102;
constexpr int EDIT_BLOCK_COUNT = 7;

// The poll set: the reads that keep the image current, queued in this order.
struct TPollBlock {
    bool Coils; // true: coils (function 1); false: holding registers (function 3)
    int First;
    int Count;
};
constexpr TPollBlock POLL_SET[] = {
    {false, 1, 15},  // registers 1 to 15
    {false, 40, 26}, // registers 40 to 65
    {false, 118, 2}, // registers 118 to 119
    {false, 100, 2}, // registers 100 to 101
    {true, 0, 128},  // coils 0 to 127
};
