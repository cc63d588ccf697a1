// The patient form's layout (dialog 101) and the ids of its controls.
#pragma once

constexpr int IDD_PATIENT_FORM = 101;

constexpr int IDC_FIRST_NAME = 1001;
constexpr int IDC_LAST_NAME = 1002;
constexpr int IDC_SECOND_NAME = 1003;
constexpr int IDC_PATIENT_ID = 1004;
constexpr int IDC_BIRTH_DATE = 1005;
constexpr int IDC_SEX = 1006;
constexpr int IDC_RACE = 1007;
constexpr int IDC_WEIGHT = 1008;
constexpr int IDC_HEIGHT = 1009;
constexpr int IDC_SYSTOLIC = 1010;
constexpr int IDC_DIASTOLIC = 1011;
constexpr int IDC_ACQ_INSTITUTION = 1020;
constexpr int IDC_ACQ_DEPARTMENT = 1021;
constexpr int IDC_ANA_INSTITUTION = 1022;
constexpr int IDC_ANA_DEPARTMENT = 1023;
constexpr int IDC_ACQ_DATE = 1024;
constexpr int IDC_ACQ_TIME = 1025;
constexpr int IDC_REFERRING_PHYSICIAN = 1026;
constexpr int IDC_CONFIRM_DATE = 1027;
constexpr int IDC_CONFIRM_DATE_LABEL = 1028;
constexpr int IDC_CONFIRM_TIME = 1029;
constexpr int IDC_CONFIRMED = 1030;
constexpr int IDC_WEIGHT_UNIT = 1031;
constexpr int IDC_HEIGHT_UNIT = 1032;
constexpr int IDC_AGE_UNIT = 1038;
constexpr int IDC_STATEMENT_FIRST = 1041;  // statements 0 to 5 are 1041 to 1046
constexpr int IDC_AGE = 107;
