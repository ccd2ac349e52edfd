#pragma once

class Session;

// Gives the goods and sales commands their work: the goods list, the goods editor in
// both modes, the bill editor in both modes and the sales analysis.
void installSalesCommands(Session *session);
