-- Quenlor server database, Microsoft SQL Server schema.
-- Runs on the database selected by the program; one batch per table.
CREATE TABLE dbo.schema_version (
    version      VARCHAR(20)  NOT NULL,
    description  NVARCHAR(200) NOT NULL,
    applied_at   DATETIME     NOT NULL CONSTRAINT df_schema_version_applied DEFAULT GETDATE(),
    CONSTRAINT pk_schema_version PRIMARY KEY (version)
);
GO
CREATE TABLE dbo.roles (
    role_id      INT           NOT NULL,
    name         NVARCHAR(50)  NOT NULL,
    description  NVARCHAR(200) NULL,
    CONSTRAINT pk_roles PRIMARY KEY (role_id),
    CONSTRAINT uq_roles_name UNIQUE (name)
);
GO
CREATE TABLE dbo.permissions (
    permission_id INT           NOT NULL,
    name          NVARCHAR(64)  NOT NULL,
    description   NVARCHAR(200) NULL,
    CONSTRAINT pk_permissions PRIMARY KEY (permission_id),
    CONSTRAINT uq_permissions_name UNIQUE (name)
);
GO
CREATE TABLE dbo.role_permissions (
    role_id       INT NOT NULL,
    permission_id INT NOT NULL,
    CONSTRAINT pk_role_permissions PRIMARY KEY (role_id, permission_id),
    CONSTRAINT fk_role_permissions_role FOREIGN KEY (role_id)
        REFERENCES dbo.roles (role_id) ON DELETE CASCADE,
    CONSTRAINT fk_role_permissions_permission FOREIGN KEY (permission_id)
        REFERENCES dbo.permissions (permission_id) ON DELETE CASCADE
);
CREATE INDEX ix_role_permissions_permission ON dbo.role_permissions (permission_id);
GO
CREATE TABLE dbo.accounts (
    account_id           INT IDENTITY(1,1) NOT NULL,
    login                NVARCHAR(64)  NOT NULL,
    display_name         NVARCHAR(128) NOT NULL,
    email                NVARCHAR(255) NULL,
    password_hash        VARCHAR(128)  NOT NULL,
    must_change_password SMALLINT      NOT NULL CONSTRAINT df_accounts_must_change DEFAULT 0,
    is_active            SMALLINT      NOT NULL CONSTRAINT df_accounts_active DEFAULT 1,
    created_at           DATETIME      NOT NULL CONSTRAINT df_accounts_created DEFAULT GETDATE(),
    last_login_at        DATETIME      NULL,
    CONSTRAINT pk_accounts PRIMARY KEY (account_id),
    CONSTRAINT uq_accounts_login UNIQUE (login)
);
CREATE INDEX ix_accounts_email ON dbo.accounts (email);
GO
CREATE TABLE dbo.account_roles (
    account_id  INT      NOT NULL,
    role_id     INT      NOT NULL,
    granted_at  DATETIME NOT NULL CONSTRAINT df_account_roles_granted DEFAULT GETDATE(),
    CONSTRAINT pk_account_roles PRIMARY KEY (account_id, role_id),
    CONSTRAINT fk_account_roles_account FOREIGN KEY (account_id)
        REFERENCES dbo.accounts (account_id) ON DELETE CASCADE,
    CONSTRAINT fk_account_roles_role FOREIGN KEY (role_id)
        REFERENCES dbo.roles (role_id)
);
CREATE INDEX ix_account_roles_role ON dbo.account_roles (role_id);
GO
CREATE TABLE dbo.sessions (
    session_id     BIGINT IDENTITY(1,1) NOT NULL,
    account_id     INT         NOT NULL,
    token          CHAR(64)    NOT NULL,
    client_address VARCHAR(45) NOT NULL,
    started_at     DATETIME    NOT NULL CONSTRAINT df_sessions_started DEFAULT GETDATE(),
    expires_at     DATETIME    NOT NULL,
    ended_at       DATETIME    NULL,
    CONSTRAINT pk_sessions PRIMARY KEY (session_id),
    CONSTRAINT uq_sessions_token UNIQUE (token),
    CONSTRAINT fk_sessions_account FOREIGN KEY (account_id)
        REFERENCES dbo.accounts (account_id) ON DELETE CASCADE
);
CREATE INDEX ix_sessions_account ON dbo.sessions (account_id);
CREATE INDEX ix_sessions_expires ON dbo.sessions (expires_at);
GO
CREATE TABLE dbo.settings (
    setting_key   VARCHAR(64)    NOT NULL,
    setting_value NVARCHAR(1000) NOT NULL,
    description   NVARCHAR(200)  NULL,
    updated_at    DATETIME       NOT NULL CONSTRAINT df_settings_updated DEFAULT GETDATE(),
    CONSTRAINT pk_settings PRIMARY KEY (setting_key)
);
GO
CREATE TABLE dbo.audit_log (
    audit_id    BIGINT IDENTITY(1,1) NOT NULL,
    account_id  INT            NULL,
    event_time  DATETIME       NOT NULL CONSTRAINT df_audit_log_time DEFAULT GETDATE(),
    action      VARCHAR(64)    NOT NULL,
    target      NVARCHAR(255)  NULL,
    details     NVARCHAR(2000) NULL,
    CONSTRAINT pk_audit_log PRIMARY KEY (audit_id),
    CONSTRAINT fk_audit_log_account FOREIGN KEY (account_id)
        REFERENCES dbo.accounts (account_id) ON DELETE SET NULL
);
CREATE INDEX ix_audit_log_time ON dbo.audit_log (event_time);
CREATE INDEX ix_audit_log_account ON dbo.audit_log (account_id, event_time);
GO
CREATE TABLE dbo.server_nodes (
    node_id         INT IDENTITY(1,1) NOT NULL,
    host_name       NVARCHAR(128) NOT NULL,
    tcp_port        INT           NOT NULL,
    max_connections INT           NOT NULL CONSTRAINT df_server_nodes_max DEFAULT 100,
    last_seen_at    DATETIME      NULL,
    CONSTRAINT pk_server_nodes PRIMARY KEY (node_id),
    CONSTRAINT uq_server_nodes_endpoint UNIQUE (host_name, tcp_port)
);
GO
-- Keeps settings.updated_at current on every change of a value.
CREATE TRIGGER dbo.tr_settings_updated ON dbo.settings AFTER UPDATE
AS
BEGIN
    SET NOCOUNT ON;
    UPDATE s SET updated_at = GETDATE()
    FROM dbo.settings s
    INNER JOIN inserted i ON i.setting_key = s.setting_key;
END
GO
