#pragma once
// The spill-over matrix being edited on the compensation page: six by six cells (row i,
// column j: channel i+1's dye seen in channel j+1) with the six background values, and which
// cells the user may edit. One process-wide instance; every change is a full model reset.
#include "compensationmatrix.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

class MatrixModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Roles {
        MatrixValueRole = 0,  // "matrixvalue": the cell's value
        DMatrixValueRole = 1, // "dmatrixvalue": the same, for rows 3 to 5 only
        MatrixAbleRole = 2,   // "matrixable": the cell may be edited
    };

    static MatrixModel *instance();
    ~MatrixModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Indices outside 0..5 change nothing; a text that is not a number gives 0.
    Q_INVOKABLE void modifyMatrix(int i, int j, QString val);
    Q_INVOKABLE void modifyBackGrd(int i, QString val);
    // 0 outside 0..5.
    Q_INVOKABLE double back(int i) const;

    CompensationMatrix getMatrix() const;
    // Also hands every background to BackGrdModel.
    void setMatrix(const CompensationMatrix &matrix);
    // An off-diagonal cell is editable exactly when both its channels (1-based) are listed;
    // a diagonal cell never.
    void setChannels(const QList<uint> &channels);

private:
    MatrixModel();
    Q_DISABLE_COPY(MatrixModel)

    CompensationMatrix m_matrix;
    bool m_editable[6][6];
};
