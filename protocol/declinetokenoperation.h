#pragma once

#include "protocol/operationrequest.h"

// The server's reply to a declining answer: always reported as not accepted.
class DeclineTokenOperation : public OperationRequest
{
public:
    DeclineTokenOperation(QString address, HttpResult::ErrorCode code);

    void DoOperation(AccountsListModel *model) override;
};
