#include "tools/PgnNames.h"

namespace marl::tools {
namespace {

struct Named {
    uint32_t pgn;
    const char* name;
};

constexpr Named kNames[] = {
    {0xA400, "DM30"},   {0xC300, "DM22"},   {0xE300, "DM7"},    {0xE800, "ACK"},
    {0xEA00, "RQST"},     {0xEE00, "AC"},     {0xF001, "EBC1"},   {0xF002, "ETC1"},   {0xF003, "EEC2"},
    {0xF004, "EEC1"},     {0xF005, "ETC2"},   {0xF00E, "AT1IG1"}, {0xF00F, "AT1OG1"}, {0xFD7B, "AT1T1I"},
    {0xFD7C, "DPFC1"},    {0xFD80, "DM28"},   {0xFD82, "DM27"},   {0xFDB2, "AT1IMG"}, {0xFDB3, "AT1OG2"},
    {0xFDB4, "AT1IG2"},   {0xFDB5, "DM23"},   {0xFDB9, "TIRE2"},  {0xFDC5, "ECUID"},  {0xFE56, "AT1T1"},
    {0xFEBF, "EBC2"},     {0xFEC1, "VDHR"},   {0xFECA, "DM1"},    {0xFECB, "DM2"},    {0xFECC, "DM3"},
    {0xFECD, "DM4"},      {0xFECE, "DM5"},    {0xFECF, "DM6"},    {0xFED3, "DM11"},   {0xFED4, "DM12"},
    {0xFEDA, "SOFT"},     {0xFEDC, "IO"},     {0xFEE0, "VD"},     {0xFEE5, "HOURS"},  {0xFEE6, "TD"},
    {0xFEE9, "LFC"},      {0xFEEA, "VW"},     {0xFEEB, "CI"},     {0xFEEC, "VI"},     {0xFEEE, "ET1"},
    {0xFEEF, "EFL/P1"},   {0xFEF1, "CCVS1"},  {0xFEF2, "LFE1"},   {0xFEF5, "AMB"},    {0xFEF6, "IC1"},
    {0xFEF7, "VEP1"},     {0xFEF8, "TRF1"},   {0xFEFC, "DD1"},    {0xFEF4, "TIRE1"},  {0xFEFF, "WFI"},
};

}  // namespace

const char* PgnName(uint32_t pgn) {
    for (const auto& n : kNames) {
        if (n.pgn == pgn) return n.name;
    }
    return "";
}

}  // namespace marl::tools
