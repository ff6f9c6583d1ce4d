#pragma once
// Where a burst's copies spent their time, read from the stand-in's call log: the passes of the paste
// loop, each copy's stages from its copy to its cell, and their percentiles.
#include <string>
#include <vector>

double Percentile(std::vector<double> v, double p);

// Lines of the stand-in's call log.
long Log_Lines(const std::wstring& log_file);

// Milliseconds of the performance counter, the clock of the stand-in's call log.
double Counter_Ms();

// Where the copies' time went, from the stand-in's call log: a pass begins with its check of the
// active sheet (ActiveSheet get, the one call of a pass that asks for it) and writes its texts with
// one Value put.
struct Pass_Record {
    double Start = 0, Put = -1, End = 0;
    int Texts = 0, Calls = 0;
    double Longest_Gap = 0;   // between two calls of the pass: the program's own work
    std::wstring Before_Gap;  // the call that followed it
};
struct Copy_Stages {
    double Pass_Start = -1, Put = -1;
};
void Stages_From_Log(const std::string& log, const std::wstring& prefix, std::vector<Copy_Stages>& copies,
                     std::vector<Pass_Record>& passes);

// A burst's result: how many landed against the bare reader, each copy's latency and stages.
struct Load_Result {
    int Landed = 0, Bare_Read = 0;
    std::vector<double> Latencies;
    // Per copy: to the bare reader's read, to the start of the pass that wrote it, from that start to
    // the write, from the write to the state file showing it.
    std::vector<double> To_Read, To_Pass, Pass_To_Put, Put_To_Seen;
    std::vector<Pass_Record> Passes;
    std::string Read_Not_Landed, Landed_Not_Read;  // copy numbers
};
// The stages of a burst, p50/p99 each, and its passes.
void Print_Stages(const Load_Result& r);
