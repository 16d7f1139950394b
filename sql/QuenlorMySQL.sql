-- Quenlor server database, MySQL / MariaDB schema.
-- Runs on the database selected by the program; one batch per table, each
-- batch sent to the server as one multi-statement text.
CREATE TABLE schema_version (
    version      VARCHAR(20)  NOT NULL,
    description  VARCHAR(200) NOT NULL,
    applied_at   DATETIME     NOT NULL DEFAULT CURRENT_TIMESTAMP,
    CONSTRAINT pk_schema_version PRIMARY KEY (version)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
GO
CREATE TABLE roles (
    role_id      INT          NOT NULL,
    name         VARCHAR(50)  NOT NULL,
    description  VARCHAR(200) NULL,
    CONSTRAINT pk_roles PRIMARY KEY (role_id),
    CONSTRAINT uq_roles_name UNIQUE (name)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
GO
CREATE TABLE permissions (
    permission_id INT          NOT NULL,
    name          VARCHAR(64)  NOT NULL,
    description   VARCHAR(200) NULL,
    CONSTRAINT pk_permissions PRIMARY KEY (permission_id),
    CONSTRAINT uq_permissions_name UNIQUE (name)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
GO
CREATE TABLE role_permissions (
    role_id       INT NOT NULL,
    permission_id INT NOT NULL,
    CONSTRAINT pk_role_permissions PRIMARY KEY (role_id, permission_id),
    CONSTRAINT fk_role_permissions_role FOREIGN KEY (role_id)
        REFERENCES roles (role_id) ON DELETE CASCADE,
    CONSTRAINT fk_role_permissions_permission FOREIGN KEY (permission_id)
        REFERENCES permissions (permission_id) ON DELETE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
CREATE INDEX ix_role_permissions_permission ON role_permissions (permission_id);
GO
CREATE TABLE accounts (
    account_id           INT          NOT NULL AUTO_INCREMENT,
    login                VARCHAR(64)  NOT NULL,
    display_name         VARCHAR(128) NOT NULL,
    email                VARCHAR(255) NULL,
    password_hash        VARCHAR(128) NOT NULL,
    must_change_password SMALLINT     NOT NULL DEFAULT 0,
    is_active            SMALLINT     NOT NULL DEFAULT 1,
    created_at           DATETIME     NOT NULL DEFAULT CURRENT_TIMESTAMP,
    last_login_at        DATETIME     NULL,
    CONSTRAINT pk_accounts PRIMARY KEY (account_id),
    CONSTRAINT uq_accounts_login UNIQUE (login)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
CREATE INDEX ix_accounts_email ON accounts (email);
GO
CREATE TABLE account_roles (
    account_id  INT      NOT NULL,
    role_id     INT      NOT NULL,
    granted_at  DATETIME NOT NULL DEFAULT CURRENT_TIMESTAMP,
    CONSTRAINT pk_account_roles PRIMARY KEY (account_id, role_id),
    CONSTRAINT fk_account_roles_account FOREIGN KEY (account_id)
        REFERENCES accounts (account_id) ON DELETE CASCADE,
    CONSTRAINT fk_account_roles_role FOREIGN KEY (role_id)
        REFERENCES roles (role_id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
CREATE INDEX ix_account_roles_role ON account_roles (role_id);
GO
CREATE TABLE sessions (
    session_id     BIGINT       NOT NULL AUTO_INCREMENT,
    account_id     INT          NOT NULL,
    token          CHAR(64)     NOT NULL,
    client_address VARCHAR(45)  NOT NULL,
    started_at     DATETIME     NOT NULL DEFAULT CURRENT_TIMESTAMP,
    expires_at     DATETIME     NOT NULL,
    ended_at       DATETIME     NULL,
    CONSTRAINT pk_sessions PRIMARY KEY (session_id),
    CONSTRAINT uq_sessions_token UNIQUE (token),
    CONSTRAINT fk_sessions_account FOREIGN KEY (account_id)
        REFERENCES accounts (account_id) ON DELETE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
CREATE INDEX ix_sessions_account ON sessions (account_id);
CREATE INDEX ix_sessions_expires ON sessions (expires_at);
GO
CREATE TABLE settings (
    setting_key   VARCHAR(64)   NOT NULL,
    setting_value VARCHAR(1000) NOT NULL,
    description   VARCHAR(200)  NULL,
    updated_at    DATETIME      NOT NULL DEFAULT CURRENT_TIMESTAMP ON UPDATE CURRENT_TIMESTAMP,
    CONSTRAINT pk_settings PRIMARY KEY (setting_key)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
GO
CREATE TABLE audit_log (
    audit_id    BIGINT        NOT NULL AUTO_INCREMENT,
    account_id  INT           NULL,
    event_time  DATETIME      NOT NULL DEFAULT CURRENT_TIMESTAMP,
    action      VARCHAR(64)   NOT NULL,
    target      VARCHAR(255)  NULL,
    details     VARCHAR(2000) NULL,
    CONSTRAINT pk_audit_log PRIMARY KEY (audit_id),
    CONSTRAINT fk_audit_log_account FOREIGN KEY (account_id)
        REFERENCES accounts (account_id) ON DELETE SET NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
CREATE INDEX ix_audit_log_time ON audit_log (event_time);
CREATE INDEX ix_audit_log_account ON audit_log (account_id, event_time);
GO
CREATE TABLE server_nodes (
    node_id         INT          NOT NULL AUTO_INCREMENT,
    host_name       VARCHAR(128) NOT NULL,
    tcp_port        INT          NOT NULL,
    max_connections INT          NOT NULL DEFAULT 100,
    last_seen_at    DATETIME     NULL,
    CONSTRAINT pk_server_nodes PRIMARY KEY (node_id),
    CONSTRAINT uq_server_nodes_endpoint UNIQUE (host_name, tcp_port)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
GO
