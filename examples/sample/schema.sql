-- Sample sales database of the bundled templates: customers, staff, products with pictures,
-- invoices and their lines. Dates are ISO texts in DATE columns; amounts are whole yen.
CREATE TABLE Customers (
  CustomerID   INTEGER PRIMARY KEY,
  CustomerName VARCHAR(60) NOT NULL,
  Kana         VARCHAR(60),
  PostalCode   VARCHAR(8),
  Address      VARCHAR(120),
  Phone        VARCHAR(20)
);

CREATE TABLE Staff (
  StaffID   INTEGER PRIMARY KEY,
  StaffName VARCHAR(30) NOT NULL,
  Stamp     VARCHAR(80)            -- seal picture, relative to the database's folder
);

CREATE TABLE Products (
  ProductID   INTEGER PRIMARY KEY,
  ProductName VARCHAR(60) NOT NULL,
  Category    VARCHAR(20) NOT NULL,
  UnitPrice   INTEGER NOT NULL,
  Unit        VARCHAR(8),
  Picture     VARCHAR(80)          -- relative to the database's folder
);

CREATE TABLE Invoices (
  InvoiceID  INTEGER PRIMARY KEY,
  InvoiceNo  VARCHAR(12) NOT NULL UNIQUE,
  CustomerID INTEGER NOT NULL REFERENCES Customers (CustomerID),
  StaffID    INTEGER NOT NULL REFERENCES Staff (StaffID),
  IssueDate  DATE NOT NULL,
  DueDate    DATE NOT NULL,
  Subject    VARCHAR(80),
  Note       TEXT
);

CREATE TABLE InvoiceLines (
  InvoiceID INTEGER NOT NULL REFERENCES Invoices (InvoiceID),
  LineNo    INTEGER NOT NULL,
  ProductID INTEGER NOT NULL REFERENCES Products (ProductID),
  Quantity  INTEGER NOT NULL,
  PRIMARY KEY (InvoiceID, LineNo)
);

-- One row per invoice with everything its header shows; tax is 10 %, rounded down.
CREATE VIEW InvoiceHeaders AS
SELECT i.InvoiceID, i.InvoiceNo, i.IssueDate, i.DueDate, i.Subject, i.Note,
       c.CustomerName, c.PostalCode, c.Address, c.Phone,
       s.StaffName, s.Stamp,
       t.SubTotal, t.SubTotal / 10 AS Tax, t.SubTotal + t.SubTotal / 10 AS Total
FROM Invoices AS i
JOIN Customers AS c ON c.CustomerID = i.CustomerID
JOIN Staff AS s ON s.StaffID = i.StaffID
JOIN (SELECT l.InvoiceID, SUM(l.Quantity * p.UnitPrice) AS SubTotal
      FROM InvoiceLines AS l JOIN Products AS p ON p.ProductID = l.ProductID
      GROUP BY l.InvoiceID) AS t ON t.InvoiceID = i.InvoiceID;

-- The lines of every invoice with their product, as the detail tables show them.
CREATE VIEW InvoiceDetails AS
SELECT l.InvoiceID, l.LineNo, p.Category, p.ProductName, p.Picture, p.Unit,
       l.Quantity, p.UnitPrice, l.Quantity * p.UnitPrice AS Amount
FROM InvoiceLines AS l
JOIN Products AS p ON p.ProductID = l.ProductID;
