#pragma once

#include "TFrm_P_LabelGB.h"

class Session;

// The print and design commands: P_Label (and the menu entry N42 through it), P_Envelop
// and P_CustBasic open the print dialog in its kind; N26, N53 and N55 open the designer
// on fr_Envelop, fr_EnveLabel and fr_Bills. `codes` gives the customers to print.
void installPrintCommands(Session *session, TFrm_P_LabelGB::CustomerCodes codes);
