-- Quenlor server database, Oracle schema, in the schema of the connected
-- user. Each batch is one statement without a terminator, or one PL/SQL
-- block, because every batch reaches the server whole.
CREATE TABLE schema_version (
    version      VARCHAR2(20)  NOT NULL,
    description  VARCHAR2(200) NOT NULL,
    applied_at   DATE          DEFAULT SYSDATE NOT NULL,
    CONSTRAINT pk_schema_version PRIMARY KEY (version)
)
GO
CREATE TABLE roles (
    role_id      NUMBER(10)     NOT NULL,
    name         VARCHAR2(50)   NOT NULL,
    description  VARCHAR2(200),
    CONSTRAINT pk_roles PRIMARY KEY (role_id),
    CONSTRAINT uq_roles_name UNIQUE (name)
)
GO
CREATE TABLE permissions (
    permission_id NUMBER(10)    NOT NULL,
    name          VARCHAR2(64)  NOT NULL,
    description   VARCHAR2(200),
    CONSTRAINT pk_permissions PRIMARY KEY (permission_id),
    CONSTRAINT uq_permissions_name UNIQUE (name)
)
GO
CREATE TABLE role_permissions (
    role_id       NUMBER(10) NOT NULL,
    permission_id NUMBER(10) NOT NULL,
    CONSTRAINT pk_role_permissions PRIMARY KEY (role_id, permission_id),
    CONSTRAINT fk_role_permissions_role FOREIGN KEY (role_id)
        REFERENCES roles (role_id) ON DELETE CASCADE,
    CONSTRAINT fk_role_permissions_perm FOREIGN KEY (permission_id)
        REFERENCES permissions (permission_id) ON DELETE CASCADE
)
GO
CREATE INDEX ix_role_permissions_perm ON role_permissions (permission_id)
GO
CREATE TABLE accounts (
    account_id           NUMBER(10)     NOT NULL,
    login                VARCHAR2(64)   NOT NULL,
    display_name         VARCHAR2(128)  NOT NULL,
    email                VARCHAR2(255),
    password_hash        VARCHAR2(128)  NOT NULL,
    must_change_password NUMBER(1)      DEFAULT 0 NOT NULL,
    is_active            NUMBER(1)      DEFAULT 1 NOT NULL,
    created_at           DATE           DEFAULT SYSDATE NOT NULL,
    last_login_at        DATE,
    CONSTRAINT pk_accounts PRIMARY KEY (account_id),
    CONSTRAINT uq_accounts_login UNIQUE (login)
)
GO
CREATE INDEX ix_accounts_email ON accounts (email)
GO
CREATE SEQUENCE accounts_seq START WITH 1 INCREMENT BY 1 NOCACHE
GO
CREATE OR REPLACE TRIGGER tr_accounts_id
BEFORE INSERT ON accounts
FOR EACH ROW
WHEN (new.account_id IS NULL)
BEGIN
    -- Fills account_id from its sequence when an insert leaves it out.
    SELECT accounts_seq.NEXTVAL INTO :new.account_id FROM dual;
END;
GO
CREATE TABLE account_roles (
    account_id  NUMBER(10) NOT NULL,
    role_id     NUMBER(10) NOT NULL,
    granted_at  DATE       DEFAULT SYSDATE NOT NULL,
    CONSTRAINT pk_account_roles PRIMARY KEY (account_id, role_id),
    CONSTRAINT fk_account_roles_account FOREIGN KEY (account_id)
        REFERENCES accounts (account_id) ON DELETE CASCADE,
    CONSTRAINT fk_account_roles_role FOREIGN KEY (role_id)
        REFERENCES roles (role_id)
)
GO
CREATE INDEX ix_account_roles_role ON account_roles (role_id)
GO
CREATE TABLE sessions (
    session_id     NUMBER(19)    NOT NULL,
    account_id     NUMBER(10)    NOT NULL,
    token          CHAR(64)      NOT NULL,
    client_address VARCHAR2(45)  NOT NULL,
    started_at     DATE          DEFAULT SYSDATE NOT NULL,
    expires_at     DATE          NOT NULL,
    ended_at       DATE,
    CONSTRAINT pk_sessions PRIMARY KEY (session_id),
    CONSTRAINT uq_sessions_token UNIQUE (token),
    CONSTRAINT fk_sessions_account FOREIGN KEY (account_id)
        REFERENCES accounts (account_id) ON DELETE CASCADE
)
GO
CREATE INDEX ix_sessions_account ON sessions (account_id)
GO
CREATE INDEX ix_sessions_expires ON sessions (expires_at)
GO
CREATE SEQUENCE sessions_seq START WITH 1 INCREMENT BY 1 NOCACHE
GO
CREATE OR REPLACE TRIGGER tr_sessions_id
BEFORE INSERT ON sessions
FOR EACH ROW
WHEN (new.session_id IS NULL)
BEGIN
    -- Fills session_id from its sequence when an insert leaves it out.
    SELECT sessions_seq.NEXTVAL INTO :new.session_id FROM dual;
END;
GO
CREATE TABLE settings (
    setting_key   VARCHAR2(64)   NOT NULL,
    setting_value VARCHAR2(1000) NOT NULL,
    description   VARCHAR2(200),
    updated_at    DATE           DEFAULT SYSDATE NOT NULL,
    CONSTRAINT pk_settings PRIMARY KEY (setting_key)
)
GO
CREATE TABLE audit_log (
    audit_id    NUMBER(19)     NOT NULL,
    account_id  NUMBER(10),
    event_time  DATE           DEFAULT SYSDATE NOT NULL,
    action      VARCHAR2(64)   NOT NULL,
    target      VARCHAR2(255),
    details     VARCHAR2(2000),
    CONSTRAINT pk_audit_log PRIMARY KEY (audit_id),
    CONSTRAINT fk_audit_log_account FOREIGN KEY (account_id)
        REFERENCES accounts (account_id) ON DELETE SET NULL
)
GO
CREATE INDEX ix_audit_log_time ON audit_log (event_time)
GO
CREATE INDEX ix_audit_log_account ON audit_log (account_id, event_time)
GO
CREATE SEQUENCE audit_log_seq START WITH 1 INCREMENT BY 1 NOCACHE
GO
CREATE OR REPLACE TRIGGER tr_audit_log_id
BEFORE INSERT ON audit_log
FOR EACH ROW
WHEN (new.audit_id IS NULL)
BEGIN
    -- Fills audit_id from its sequence when an insert leaves it out.
    SELECT audit_log_seq.NEXTVAL INTO :new.audit_id FROM dual;
END;
GO
CREATE TABLE server_nodes (
    node_id         NUMBER(10)    NOT NULL,
    host_name       VARCHAR2(128) NOT NULL,
    tcp_port        NUMBER(10)    NOT NULL,
    max_connections NUMBER(10)    DEFAULT 100 NOT NULL,
    last_seen_at    DATE,
    CONSTRAINT pk_server_nodes PRIMARY KEY (node_id),
    CONSTRAINT uq_server_nodes_endpoint UNIQUE (host_name, tcp_port)
)
GO
CREATE SEQUENCE server_nodes_seq START WITH 1 INCREMENT BY 1 NOCACHE
GO
CREATE OR REPLACE TRIGGER tr_server_nodes_id
BEFORE INSERT ON server_nodes
FOR EACH ROW
WHEN (new.node_id IS NULL)
BEGIN
    -- Fills node_id from its sequence when an insert leaves it out.
    SELECT server_nodes_seq.NEXTVAL INTO :new.node_id FROM dual;
END;
GO
CREATE OR REPLACE TRIGGER tr_settings_updated
BEFORE UPDATE ON settings
FOR EACH ROW
BEGIN
    -- Keeps updated_at current on every change of a value.
    :new.updated_at := SYSDATE;
END;
GO
